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

namespace ferro::win32 {

class Win32Renderer;
class Picture;

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
    bool isShown() const override;

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

private:
    struct Control {
        const ui::ControlDef* def = nullptr;
        int id = 0;
        HWND window = nullptr;
        HWND tooltipOwner = nullptr;
        std::unique_ptr<Picture> picture;
        bool timerRunning = false;
    };

    static LRESULT CALLBACK formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR view);
    LRESULT onFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onControlMessage(Control& control, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    void createControl(Control& control);
    void createMenu();
    void layout();
    void placeControl(Control& control);
    void mirror(Control& control);
    void orderTabStops();
    void syncSelections();
    void onCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onColour(HDC dc, HWND child, UINT message);
    void drawPicture(const DRAWITEMSTRUCT& item);
    bool fillBackground(HDC dc, HWND window, const Control* control);

    Control* find(HWND window);
    Control* findById(int id);
    const Control* parentOf(const Control& control) const;
    // The colour behind a control: its own, else its container's, else the form's.
    std::optional<ui::Color> backColourOf(const Control* control) const;
    HBRUSH brush(ui::Color colour);
    HFONT font(const ui::FontDef& font);
    const ui::FontDef& fontDefOf(const Control& control) const;
    int px(int twips) const { return MulDiv(twips, dpi_, 1440); }

    Win32Renderer& renderer_;
    ui::Form& form_;
    HWND window_ = nullptr;
    HMENU menu_ = nullptr;
    HWND tooltips_ = nullptr;
    int dpi_ = 96;
    std::vector<Control> controls_;
    std::map<std::string, std::size_t> byName_;
    std::map<ui::Color, HBRUSH> brushes_;
    std::vector<std::pair<ui::FontDef, HFONT>> fonts_;
    HWND lastFocus_ = nullptr;
    bool mirroring_ = false;  // our own changes raise no events
};

}  // namespace ferro::win32
