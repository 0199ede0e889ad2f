#pragma once
// A recording stand-in for the OS services: every call is kept, modal boxes
// are answered from a script, and nothing reaches the real system.
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "form/Form.h"
#include "platform/OsServices.h"

namespace ferro {

class FakeOsServices : public OsServices {
public:
    struct Box {
        std::string text;
        std::string caption;
        MsgButtons buttons;
        MsgIcon icon;
        MsgAnswer defaultAnswer;
        const ui::Form* owner;
    };

    MsgAnswer messageBox(const DialogOwner* owner, const std::string& text, const std::string& caption,
                         MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer) override;
    void beep() override { ++beeps; }
    void openUrl(const std::string& url) override { openedUrls.push_back(url); }
    // The system answers later: a refusal arrives when the test calls answerRestart().
    void requestRestart(std::function<void()> refused) override
    {
        ++restartRequests;
        restartRequestedAfterBoxes.push_back(boxes.size());
        if (!restartAccepted)
            pendingRefusals.push_back(std::move(refused));
    }
    void answerRestart()
    {
        auto refusals = std::move(pendingRefusals);
        pendingRefusals.clear();
        for (auto& refused : refusals)
            refused();
    }
    bool startProgram(const std::string& path) override
    {
        startedPrograms.push_back(path);
        return startSucceeds;
    }
    bool fileExists(const std::string& path) override { return existingFiles.count(path) > 0; }
    // Offers the selection when there is one, and the "user" takes it.
    PrintResult printText(const DialogOwner* owner, const std::string& text,
                          const std::string& selection) override;

    // What happened.
    std::vector<Box> boxes;
    int beeps = 0;
    std::vector<std::string> openedUrls;
    int restartRequests = 0;
    std::vector<std::size_t> restartRequestedAfterBoxes;  // boxes shown before each request
    std::vector<std::string> startedPrograms;
    int printDialogs = 0;
    bool lastDialogHadSelection = false;
    std::vector<std::string> printedTexts;

    // How the "system" answers.
    std::deque<MsgAnswer> answers;            // for Yes/No boxes, in order; default answer when empty
    std::function<void(const Box&)> whileBoxOpen;  // runs while a box is "open", before it returns
    bool restartAccepted = true;
    std::vector<std::function<void()>> pendingRefusals;
    bool startSucceeds = true;
    std::set<std::string> existingFiles;
    PrintResult printAnswer = PrintResult::Printed;
};

}  // namespace ferro
