#pragma once
// A recording stand-in for the OS services: every call is kept, modal boxes
// are answered from a script, and nothing reaches the real system.
#include <QStringList>

#include <deque>
#include <functional>
#include <set>
#include <vector>

#include "platform/OsServices.h"

namespace ferro {

class FakeOsServices : public OsServices {
public:
    struct Box {
        QString text;
        QString caption;
        MsgButtons buttons;
        MsgIcon icon;
        MsgAnswer defaultAnswer;
    };

    MsgAnswer messageBox(QWidget* parent, const QString& text, const QString& caption,
                         MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer) override;
    void beep() override { ++beeps; }
    void openUrl(const QString& url) override { openedUrls << url; }
    bool requestRestart() override
    {
        ++restartRequests;
        restartRequestedAfterBoxes.push_back(boxes.size());
        return restartAccepted;
    }
    bool startProgram(const QString& path) override
    {
        startedPrograms << path;
        return startSucceeds;
    }
    bool fileExists(const QString& path) override { return existingFiles.count(path) > 0; }
    bool printDialog(QWidget* parent, QPrinter& printer, bool hasSelection) override;
    void printRichText(QTextEdit& box, QPrinter& printer) override;

    // What happened.
    std::vector<Box> boxes;
    int beeps = 0;
    QStringList openedUrls;
    int restartRequests = 0;
    std::vector<std::size_t> restartRequestedAfterBoxes;  // boxes shown before each request
    QStringList startedPrograms;
    int printDialogs = 0;
    bool lastDialogHadSelection = false;
    QStringList printedTexts;  // plain text of what was printed

    // How the "system" answers.
    std::deque<MsgAnswer> answers;            // for Yes/No boxes, in order; default answer when empty
    std::function<void(const Box&)> whileBoxOpen;  // runs while a box is "open", before it returns
    bool restartAccepted = true;
    bool startSucceeds = true;
    std::set<QString> existingFiles;
    bool printDialogAccepted = true;
    QString printToPdf;  // when set, an accepted dialog prints into this PDF file
};

}  // namespace ferro
