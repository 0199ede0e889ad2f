#pragma once
// A renderer without a toolkit for the windows' tests: it keeps what each
// window shows, runs timers only when a test fires them, and runs posted
// work when a test lets the "event loop" go on.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "form/Renderer.h"

namespace ferro::test {

class FakeRenderer;

class FakeView final : public ui::FormView {
public:
    FakeView(FakeRenderer& renderer, ui::Form& form, const ui::Form* owner);
    ~FakeView() override;

    void controlChanged(const std::string& id) override;
    void formCaptionChanged() override {}
    void show(bool centre) override;
    void hide() override { shown = false; }
    void bringToFront() override { ++raised; }

    ui::Form& form;
    const ui::Form* owner;
    bool shown = false;
    int centred = 0;
    int raised = 0;
    std::map<std::string, int> timerArms;  // how often each timer was armed (counted from then)

private:
    FakeRenderer& renderer_;
};

class FakeRenderer final : public ui::Renderer {
public:
    std::unique_ptr<ui::FormView> createView(ui::Form& form, const ui::Form* owner) override;
    void post(std::function<void()> task) override { posted_.push_back(std::move(task)); }
    void quit() override { ++quits; }

    // Lets the event loop run what was posted (unloaded windows go).
    void runPosted();
    FakeView* view(const ui::Form* form) const;
    int liveViews() const { return static_cast<int>(views_.size()); }

    int quits = 0;
    // Runs inside each showing, as a toolkit may deliver input while it maps a window.
    std::function<void(ui::Form&)> duringShow;

private:
    friend class FakeView;
    std::map<const ui::Form*, FakeView*> views_;
    std::vector<std::function<void()>> posted_;
};

}  // namespace ferro::test
