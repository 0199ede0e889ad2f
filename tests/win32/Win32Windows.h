#pragma once
// The program's windows as real Win32 windows, driven through their controls
// as a user would: controls found by their IDs, read back with WM_GETTEXT,
// styles and rectangles, clicked with BM_CLICK, the trackbar moved with the
// keys a user presses. Modal boxes are answered by the recording OS services.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/AppWindows.h"
#include "registry/RegistryBackend.h"
#include "ui/FakeOsServices.h"
#include "ui/MemoryRegistry.h"
#include "ui/RenderedForm.h"
#include "ui/win32/Win32Renderer.h"

namespace ferro::win32::testing {

// The text of a window (WM_GETTEXT).
std::string windowText(HWND window);

class Win32WindowTest : public ::testing::Test {
protected:
    // `registry`: the backend the windows write (default: one in memory).
    explicit Win32WindowTest(RegistryBackend* registry = nullptr, int stepIntervalMs = 1);
    ~Win32WindowTest() override;

    test::MemoryRegistry memory;
    FakeOsServices os;
    Win32Renderer renderer;
    std::unique_ptr<AppWindows> windows;
    std::filesystem::path folder;

    HWND window(const ui::Form& form) const { return renderer.windowOf(&form); }
    // A control's child window, found by its ID in its parent's window.
    HWND item(const ui::Form& form, const std::string& id) const;
    static std::string text(HWND window) { return windowText(window); }
    static bool visible(HWND window) { return window && IsWindowVisible(window); }

    // BM_CLICK on a button the user can see and use.
    void click(const ui::Form& form, const std::string& id);
    // Runs the event loop until `done` holds, for at most `timeoutMs`.
    bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 10000);
    void pump() { renderer.processPending(); }
};

// What the Win32 renderer made of a form, read back from its windows.
class Win32RenderedForm final : public test::RenderedForm {
public:
    Win32RenderedForm(const Win32Renderer& renderer, const ui::Form& form);
    int clientWidth() const override;
    int clientHeight() const override;
    std::string caption() const override;
    std::optional<test::RenderedControl> control(const std::string& id) const override;

private:
    const Win32Renderer& renderer_;
    const ui::Form& form_;
};

}  // namespace ferro::win32::testing
