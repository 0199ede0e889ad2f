#pragma once
// The program's windows over a registry in memory and a fresh folder, with
// the recording OS services and the toolkit-free renderer, driven as a user
// would: clicks on visible, enabled controls, typed answers, slider moves,
// timer ticks fired one at a time.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/AppWindows.h"
#include "ui/FakeOsServices.h"
#include "ui/FakeRenderer.h"
#include "ui/MemoryRegistry.h"

namespace ferro::test {

class WindowTest : public ::testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Windows with the program's own 3000 ms step interval: steps run only
    // when a test fires them.
    MemoryRegistry store;
    FakeOsServices os;
    FakeRenderer renderer;
    std::unique_ptr<AppWindows> windows;

    std::string folder() const { return folder_.string(); }
    std::filesystem::path path(const std::string& relative) const { return folder_ / relative; }

    static const ui::ControlState& state(const ui::Form& form, const std::string& id)
    {
        return form.state(id);
    }
    static const std::string& text(const ui::Form& form, const std::string& id)
    {
        return form.state(id).caption;
    }
    // Whether the user sees the control: its window is shown, and it and
    // every control that holds it are visible.
    bool seen(const ui::Form& form, const std::string& id) const;
    bool usable(const ui::Form& form, const std::string& id) const;
    bool shown(const ui::Form* form) const;

    // A click by the user: the control must be seen and enabled.
    void click(ui::Form& form, const std::string& id);
    void mouseOver(ui::Form& form, const std::string& id);
    void type(ui::Form& form, const std::string& id, const std::string& text);
    void moveSlider(ui::Form& form, const std::string& id, int value);
    void pressKey(ui::Form& form, char key);
    // The close box or system menu of the title bar.
    static void closeFromTitleBar(ui::Form& form) { form.deliver("", ui::Event::Close); }
    // A tick of an armed timer, as if its interval had passed.
    void fire(ui::Form& form, const std::string& timer);
    bool armed(const ui::Form& form, const std::string& timer) const
    {
        return form.state(timer).enabled && renderer.view(&form) != nullptr;
    }
    // Lets the event loop go on: unloaded windows are released.
    void finishEvents() { renderer.runPosted(); }

    // A value as it stands in the registry: its type and bytes, or absent.
    ValueState value(RootKey root, const std::string& key, const std::string& name);
    std::string valueText(RootKey root, const std::string& key, const std::string& name);

private:
    std::filesystem::path folder_;
};

inline Bytes sz(const std::string& text)
{
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

}  // namespace ferro::test
