#pragma once
// One loaded form as a Win32 window: a top-level window with the form's
// caption, border and menu bar, and a child window for every control of its
// definition, mirrored from the form's state.
#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "form/Form.h"
#include "ui/win32/Win32Control.h"

namespace ferro::win32 {

class Win32Renderer;

class Win32View final : public ui::FormView {
public:
    Win32View(Win32Renderer& renderer, ui::Form& form, HWND owner);
    ~Win32View() override;
    Win32View(const Win32View&) = delete;
    Win32View& operator=(const Win32View&) = delete;

    void controlChanged(const std::string& id) override;
    void formCaptionChanged() override;
    void show(bool centre) override;
    void hide() override;
    void bringToFront() override;

    HWND window() const { return window_; }
    // A control's child window (menu items and timers have none), or nullptr.
    HWND control(const std::string& id) const;
    // The ID of a control's child window, menu item or timer: GetDlgItem finds
    // the child by it. Fixed by the control's place in the definition.
    static int controlId(const ui::FormDef& form, const std::string& id);
    int dpi() const { return dpi_; }
    // The font a control was given, as requested of the system.
    std::optional<ui::FontDef> fontOf(const std::string& id) const;
    bool timerRunning(const std::string& id) const;
    // An event of a control (or of the form, id ""), with the text boxes'
    // selections brought up to date first.
    void deliver(const std::string& id, ui::Event event, int key = 0);

    // For the controls of this window.
    ui::Form& form() const { return form_; }
    HINSTANCE instance() const;
    // The menu bar, made with its first item.
    HMENU menuBar();
    int px(int twips) const { return MulDiv(twips, dpi_, 1440); }
    HFONT font(const ui::FontDef& font);
    const ui::FontDef& fontDefOf(const Win32Control& control) const;
    HBRUSH brush(ui::Color colour);
    const Win32Control* parentOf(const Win32Control& control) const;
    // The colour behind a control: its own, else its container's, else the form's.
    std::optional<ui::Color> backColourOf(const Win32Control* control) const;
    bool fillBackground(HDC dc, HWND window, const Win32Control* control);
    // Where the design and its content put a control, in its parent's pixels.
    RECT boxOf(Win32Control& control);
    void place(Win32Control& control);

private:
    static LRESULT CALLBACK formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onControlMessage(Win32Control& control, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Keeps or restores the focus; true when it was set.
    bool onFocus(WPARAM wParam);
    LRESULT onDpiChanged(WPARAM wParam, LPARAM lParam);

    void createWindow(HWND owner);
    void createControls();
    void layout();
    void mirror(Win32Control& control);
    void mirrorToolTip(Win32Control& control, const std::string& text);
    void orderTabStops();
    void onCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onColour(HDC dc, HWND child, UINT message);

    Win32Control* find(HWND window);
    Win32Control* findById(int id);

    Win32Renderer& renderer_;
    ui::Form& form_;
    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
    HWND tooltips_ = nullptr;
    int dpi_ = 96;
    std::vector<std::unique_ptr<Win32Control>> controls_;
    std::map<std::string, std::size_t> byName_;
    std::map<ui::Color, HBRUSH> brushes_;
    std::vector<std::pair<ui::FontDef, HFONT>> fonts_;
    int fontsDpi_ = 0;  // the dpi fonts_ were made for
    HWND lastFocus_ = nullptr;
    bool mirroring_ = false;  // our own changes raise no events
};

}  // namespace ferro::win32
