#pragma once
// The Win32 renderer: builds each loaded form's window from its definition
// with plain Win32 and common controls, runs the message loop, and turns the
// window messages into the form's events.
#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>

#include "form/Renderer.h"

namespace ferro::win32 {

class Win32View;

class Win32Renderer final : public ui::Renderer {
public:
    // `instance`: the module whose resources hold the pictures and cursors.
    explicit Win32Renderer(HINSTANCE instance);
    ~Win32Renderer() override;
    Win32Renderer(const Win32Renderer&) = delete;
    Win32Renderer& operator=(const Win32Renderer&) = delete;

    std::unique_ptr<ui::FormView> createView(ui::Form& form, const ui::Form* owner) override;
    void post(std::function<void()> task) override;
    void quit() override;

    // The message loop, until quit(); returns the program's exit code.
    int run();
    // Handles every message waiting now (the system's DoEvents). False once
    // quit() was asked for (the request stays queued for run()).
    bool processPending();

    HINSTANCE instance() const { return instance_; }
    // The window of a loaded form, or nullptr.
    HWND windowOf(const ui::Form* form) const;
    Win32View* view(const ui::Form* form) const;
    // A view enters itself once its window is made and leaves as it goes, so
    // that the messages and the owner lookups find it.
    void addView(const ui::Form& form, Win32View& view) { views_[&form] = &view; }
    void removeView(const ui::Form& form) { views_.erase(&form); }

private:
    void dispatch(MSG& message);
    void runPosted();
    static LRESULT CALLBACK taskProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    HWND tasks_ = nullptr;         // message-only window that runs posted work
    HWND hiddenOwner_ = nullptr;   // keeps windows without an owner off the taskbar
    std::deque<std::function<void()>> posted_;
    std::map<const ui::Form*, Win32View*> views_;
    bool quitting_ = false;
};

}  // namespace ferro::win32
