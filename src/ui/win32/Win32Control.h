#pragma once
// One control of a form's window, as a thin wrapper over its Win32 window:
// each kind of control (Win32Controls.cpp) says how its window is made, how
// it shows the form's state and what its notifications mean. The view lays
// the controls out and hands each its messages.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "form/Form.h"

namespace ferro::win32 {

class Win32View;

class Win32Control {
public:
    // The wrapper for the kind of `def`; `id` is its child window's ID.
    static std::unique_ptr<Win32Control> make(Win32View& view, const ui::ControlDef& def, int id);

    Win32Control(Win32View& view, const ui::ControlDef& def, int id) : view_(view), def_(def), id_(id) {}
    virtual ~Win32Control() = default;
    Win32Control(const Win32Control&) = delete;
    Win32Control& operator=(const Win32Control&) = delete;

    const ui::ControlDef& def() const { return def_; }
    int id() const { return id_; }
    // Its child window; menu items and timers have none.
    HWND window() const { return window_; }

    // Makes the child window inside `parent` (or the menu entry, or nothing).
    virtual void create(HWND parent) = 0;
    // Shows what is particular to the kind in `state` (its text, value...);
    // the view mirrors what all windows share.
    virtual void mirror(const ui::ControlState& state);
    // A WM_COMMAND (its notification code), WM_HSCROLL or WM_TIMER of this control.
    virtual void notify(UINT message, int code);
    // Its size in pixels, given the designed one.
    virtual SIZE measure(SIZE designed) { return designed; }
    virtual void place(const RECT& box);
    // The reply to WM_CTLCOLOR*: a brush, or 0 for the system's colours.
    virtual LRESULT colour(HDC dc);
    // A message of its own window handled here (true), or left to the default.
    virtual bool handle(UINT message, WPARAM wParam, LRESULT& result);
    // Draws an owner-drawn control.
    virtual void draw(const DRAWITEMSTRUCT& item);
    // Hands the user's selection to the form.
    virtual void syncSelection() {}
    // Holds other controls, whose notifications it passes on to the form.
    virtual bool container() const { return false; }
    virtual bool takesFont() const { return true; }
    virtual bool timerRunning() const { return false; }

protected:
    // The child window of `windowClass`, with the styles every control shares.
    void createWindow(HWND parent, const char* windowClass, DWORD style, DWORD exStyle, const std::string& text);
    DWORD tabStop() const { return def_.tabIndex >= 0 ? WS_TABSTOP : 0; }
    // Sets the window's text if the form's differs (CR LF line ends in a multi-line edit).
    void mirrorText(const std::string& caption, bool multiLine);
    // The colour its text stands on: its own, else its container's, else the form's.
    virtual std::optional<ui::Color> backColour() const;
    // The system colour of its surface when it has no colour of its own.
    virtual int systemColour() const { return COLOR_BTNFACE; }

    Win32View& view_;
    const ui::ControlDef& def_;
    const int id_;
    HWND window_ = nullptr;

private:
    friend class Win32View;
    bool hasToolTip_ = false;
    std::optional<RECT> placed_;  // where its window was last put
    WNDPROC original_ = nullptr;  // its class's procedure, under the view's
};

}  // namespace ferro::win32
