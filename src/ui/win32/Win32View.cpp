#include "ui/win32/Win32View.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "ui/win32/Images.h"
#include "ui/win32/Win32Renderer.h"
#include "ui/win32/WinText.h"

namespace ferro::win32 {
namespace {

constexpr const char* kFormClass = "FerroWinderForm";
constexpr int kFirstControlId = 1000;

// Functions of newer Windows versions, looked up so that the program still
// starts on Windows 7 (and under Wine).
template <class Function>
Function user32Function(const char* name)
{
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    const FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

int dpiOf(HWND window)
{
    static const auto getDpiForWindow = user32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow && window)
        if (const UINT dpi = getDpiForWindow(window))
            return static_cast<int>(dpi);
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

bool adjustForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi)
{
    static const auto adjust =
        user32Function<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (adjust)
        return adjust(&rect, style, menu, exStyle, static_cast<UINT>(dpi));
    return AdjustWindowRectEx(&rect, style, menu, exStyle);
}

bool registerFormClass(HINSTANCE instance, WNDPROC proc)
{
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, kFormClass, &existing))
        return true;
    WNDCLASSEXA form{};
    form.cbSize = sizeof form;
    form.style = CS_DBLCLKS;
    form.lpfnWndProc = proc;
    form.hInstance = instance;
    form.hIcon = LoadIconA(instance, "IDI_ICON1");
    form.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kFormClass;
    return RegisterClassExA(&form) != 0;
}

}  // namespace

Win32View::Win32View(Win32Renderer& renderer, ui::Form& form, HWND owner)
    : renderer_(renderer), form_(form)
{
    const ui::FormDef& def = form.definition();
    if (!registerFormClass(renderer.instance(), formProc))
        throw std::runtime_error("cannot register the window class of " + def.name);
    for (const ui::ControlDef& control : def.controls) {
        byName_[control.id()] = controls_.size();
        controls_.push_back(Win32Control::make(*this, control, controlId(def, control.id())));
    }
    createWindow(owner);
    createControls();
    layout();
    orderTabStops();
    for (auto& control : controls_)
        mirror(*control);
    renderer_.addView(form_, *this);
    form_.attach(this);
}

void Win32View::createWindow(HWND owner)
{
    const ui::FormDef& def = form_.definition();
    DWORD style = WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    const bool titleBar = def.border != ui::BorderStyle::None && (!def.caption.empty() || def.controlBox);
    if (!titleBar) {
        // The splash: a dialog frame without a title bar, or no frame at all.
        style |= WS_POPUP | (def.border == ui::BorderStyle::None ? 0 : WS_DLGFRAME);
    } else {
        style |= WS_OVERLAPPED | WS_CAPTION;
        if (def.border == ui::BorderStyle::FixedDialog)
            exStyle |= WS_EX_DLGMODALFRAME;
        if (def.border == ui::BorderStyle::Sizable)
            style |= WS_THICKFRAME;
        if (def.controlBox)
            style |= WS_SYSMENU | (def.minButton ? WS_MINIMIZEBOX : 0) | (def.maxButton ? WS_MAXIMIZEBOX : 0);
    }
    window_ = CreateWindowExA(exStyle, kFormClass, toAnsi(form_.caption()).c_str(), style, CW_USEDEFAULT,
                              CW_USEDEFAULT, 100, 100, owner, nullptr, renderer_.instance(), this);
    if (!window_)
        throw std::runtime_error("cannot create the window of " + def.name);
    dpi_ = dpiOf(window_);
}

Win32View::~Win32View()
{
    renderer_.removeView(form_);
    if (form_.view() == this)
        form_.attach(nullptr);
    if (window_)
        DestroyWindow(window_);  // its controls, menu, tooltips and timers with it
    for (auto& [def, font] : fonts_)
        DeleteObject(font);
    for (auto& [colour, brush] : brushes_)
        DeleteObject(brush);
}

int Win32View::controlId(const ui::FormDef& form, const std::string& id)
{
    for (std::size_t i = 0; i < form.controls.size(); ++i)
        if (form.controls[i].id() == id)
            return kFirstControlId + static_cast<int>(i);
    return 0;
}

HWND Win32View::control(const std::string& id) const
{
    const auto found = byName_.find(id);
    return found == byName_.end() ? nullptr : controls_[found->second]->window();
}

std::optional<ui::FontDef> Win32View::fontOf(const std::string& id) const
{
    const auto found = byName_.find(id);
    if (found == byName_.end() || !controls_[found->second]->window())
        return std::nullopt;
    return fontDefOf(*controls_[found->second]);
}

bool Win32View::timerRunning(const std::string& id) const
{
    const auto found = byName_.find(id);
    return found != byName_.end() && controls_[found->second]->timerRunning();
}

HINSTANCE Win32View::instance() const { return renderer_.instance(); }

HMENU Win32View::menuBar()
{
    if (!menu_) {
        if (!(menu_ = CreateMenu()))
            throw std::runtime_error("cannot create the menu bar of " + form_.definition().name);
        if (!SetMenu(window_, menu_)) {
            DestroyMenu(menu_);
            menu_ = nullptr;
            throw std::runtime_error("cannot show the menu bar of " + form_.definition().name);
        }
    }
    return menu_;
}

void Win32View::createControls()
{
    for (auto& control : controls_) {
        const Win32Control* parent = parentOf(*control);
        control->create(parent && parent->window() ? parent->window() : window_);
        const HWND window = control->window();
        if (!window)
            continue;
        // The control rides in the window's own user data: a window property
        // (as SetWindowSubclass keeps) costs a trip to the server per message
        // under Wine.
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
        control->original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc)));
        if (!control->original_ ||
            GetWindowLongPtrA(window, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(control.get()))
            throw std::runtime_error("cannot watch the control " + control->def().id());
    }
}

const Win32Control* Win32View::parentOf(const Win32Control& control) const
{
    if (control.def().parent.empty())
        return nullptr;
    const auto found = byName_.find(control.def().parent);
    return found == byName_.end() ? nullptr : controls_[found->second].get();
}

const ui::FontDef& Win32View::fontDefOf(const Win32Control& control) const
{
    return control.def().font ? *control.def().font : form_.definition().font;
}

HFONT Win32View::font(const ui::FontDef& def)
{
    for (const auto& [made, handle] : fonts_)
        if (made.face == def.face && made.points == def.points && made.bold == def.bold &&
            made.italic == def.italic && made.underline == def.underline)
            return handle;
    if (fonts_.empty())
        fontsDpi_ = dpi_;
    // The face as defined; the system substitutes where it is missing.
    const int height = -static_cast<int>(std::lround(def.points * dpi_ / 72.0));
    const HFONT made = CreateFontA(height, 0, 0, 0, def.bold ? FW_BOLD : FW_NORMAL, def.italic, def.underline, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, def.face.c_str());
    if (!made)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts_.emplace_back(def, made);
    return made;
}

HBRUSH Win32View::brush(ui::Color colour)
{
    auto found = brushes_.find(colour);
    if (found == brushes_.end()) {
        // 0x00BBGGRR is a COLORREF as it stands.
        const HBRUSH made = CreateSolidBrush(colour);
        if (!made)
            return GetSysColorBrush(COLOR_BTNFACE);
        found = brushes_.emplace(colour, made).first;
    }
    return found->second;
}

std::optional<ui::Color> Win32View::backColourOf(const Win32Control* control) const
{
    for (; control; control = parentOf(*control))
        if (const auto& colour = form_.state(control->def().id()).backColor)
            return colour;
    return form_.definition().backColor;
}

void Win32View::layout()
{
    // Fonts at this dpi; those of another go once no control uses them.
    std::vector<std::pair<ui::FontDef, HFONT>> oldFonts;
    if (fontsDpi_ != dpi_) {
        oldFonts = std::move(fonts_);
        fonts_.clear();
    }
    for (auto& control : controls_)
        if (control->window() && control->takesFont())
            SendMessageA(control->window(), WM_SETFONT, reinterpret_cast<WPARAM>(font(fontDefOf(*control))), FALSE);
    for (auto& [def, old] : oldFonts)
        DeleteObject(old);
    for (auto& control : controls_)
        if (control->window())
            place(*control);

    const ui::FormDef& def = form_.definition();
    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(window_, GWL_EXSTYLE);
    RECT frame{0, 0, px(def.clientWidth), px(def.clientHeight)};
    adjustForDpi(frame, static_cast<DWORD>(style), menu_ != nullptr, static_cast<DWORD>(exStyle), dpi_);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps onto a second line takes more than the estimate.
    RECT client{};
    if (GetClientRect(window_, &client) && client.bottom != px(def.clientHeight)) {
        SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top + px(def.clientHeight) - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

RECT Win32View::boxOf(Win32Control& control)
{
    const ui::ControlDef& def = control.def();
    int left = px(def.left);
    const SIZE size = control.measure({px(def.width), px(def.height)});
    if (def.autoSize && def.alignment == ui::Alignment::Right)
        left = px(def.left + def.width) - size.cx;
    return {left, px(def.top), left + size.cx, px(def.top) + size.cy};
}

void Win32View::place(Win32Control& control) { control.place(boxOf(control)); }

void Win32View::orderTabStops()
{
    // Tab and Shift+Tab follow the windows' order among their siblings: the
    // tab stops first, by tab index; a container where its first stop is.
    std::vector<int> key(controls_.size(), INT_MAX);
    for (std::size_t i = controls_.size(); i-- > 0;) {
        const Win32Control& control = *controls_[i];
        if (control.def().tabIndex >= 0 && control.window())
            key[i] = std::min(key[i], control.def().tabIndex);
        if (const Win32Control* parent = parentOf(control)) {
            const auto at = static_cast<std::size_t>(parent->id() - kFirstControlId);
            key[at] = std::min(key[at], key[i]);
        }
    }
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i]->window())
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key[a] < key[b]; });
    // Each child window goes below its elder siblings as it is made: in the
    // order of making there is nothing to move.
    if (std::is_sorted(order.begin(), order.end()))
        return;
    std::map<HWND, HWND> previous;  // per parent window
    for (const std::size_t i : order) {
        const HWND window = controls_[i]->window();
        const HWND parent = GetParent(window);
        const auto found = previous.find(parent);
        SetWindowPos(window, found == previous.end() ? HWND_TOP : found->second, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous[parent] = window;
    }
}

void Win32View::controlChanged(const std::string& id)
{
    const auto found = byName_.find(id);
    if (found != byName_.end())
        mirror(*controls_[found->second]);
}

void Win32View::mirror(Win32Control& control)
{
    const ui::ControlState& state = form_.state(control.def().id());
    mirroring_ = true;
    control.mirror(state);
    if (const HWND window = control.window()) {
        if ((IsWindowEnabled(window) != FALSE) != state.enabled)
            EnableWindow(window, state.enabled);
        const bool visible = (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
        if (visible != state.visible)
            ShowWindow(window, state.visible ? SW_SHOWNA : SW_HIDE);
        // Colours are applied when the control paints; a hidden form paints
        // whole when it shows.
        if (IsWindowVisible(window_))
            InvalidateRect(window, nullptr, TRUE);
        mirrorToolTip(control, state.toolTip);
    }
    mirroring_ = false;
}

void Win32View::mirrorToolTip(Win32Control& control, const std::string& text)
{
    if (text.empty() && !control.hasToolTip_)
        return;
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control.window());
    std::string ansi = toAnsi(text);
    tool.lpszText = ansi.data();
    if (!control.hasToolTip_) {
        // Made at the first tip: a window of its own, which a form without
        // tips (the splash) need not wait for.
        if (!tooltips_)
            tooltips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, renderer_.instance(), nullptr);
        control.hasToolTip_ = tooltips_ && SendMessageA(tooltips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        SendMessageA(tooltips_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void Win32View::formCaptionChanged() { SetWindowTextA(window_, toAnsi(form_.caption()).c_str()); }

void Win32View::show(bool centre)
{
    if (centre) {
        RECT frame{};
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetWindowRect(window_, &frame) &&
            GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
            const RECT& area = monitor.rcWork;
            const int width = frame.right - frame.left, height = frame.bottom - frame.top;
            SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
                         area.top + (area.bottom - area.top - height) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            // Another monitor may have another dpi.
            if (dpiOf(window_) != dpi_) {
                dpi_ = dpiOf(window_);
                layout();
            }
        }
    }
    ShowWindow(window_, SW_SHOW);
}

void Win32View::hide() { ShowWindow(window_, SW_HIDE); }

void Win32View::bringToFront()
{
    SetForegroundWindow(window_);
    BringWindowToTop(window_);
}

Win32Control* Win32View::find(HWND window)
{
    for (auto& control : controls_)
        if (control->window() && control->window() == window)
            return control.get();
    return nullptr;
}

Win32Control* Win32View::findById(int id)
{
    const std::size_t index = static_cast<std::size_t>(id - kFirstControlId);
    return id >= kFirstControlId && index < controls_.size() ? controls_[index].get() : nullptr;
}

void Win32View::deliver(const std::string& id, ui::Event event, int key)
{
    for (auto& control : controls_)
        if (control->window())
            control->syncSelection();
    form_.deliver(id, event, key);
}

void Win32View::onCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const HWND from = reinterpret_cast<HWND>(lParam);
    if (!from) {
        // Enter and Escape (from the dialog keys), or a menu item.
        for (const auto& control : controls_) {
            const ui::ControlDef& def = control->def();
            if ((id == IDOK && def.isDefault) || (id == IDCANCEL && def.isCancel)) {
                if (control->window() && IsWindowVisible(control->window()) && IsWindowEnabled(control->window()))
                    deliver(def.id(), ui::Event::Click);
                return;
            }
        }
        if (Win32Control* item = findById(id); item && !item->window())
            item->notify(WM_COMMAND, HIWORD(wParam));
        return;
    }
    Win32Control* control = findById(id);
    if (control && control->window() == from && !mirroring_)
        control->notify(WM_COMMAND, HIWORD(wParam));
}

bool Win32View::fillBackground(HDC dc, HWND window, const Win32Control* control)
{
    RECT area{};
    if (!GetClientRect(window, &area))
        return false;
    const std::optional<ui::Color> colour = backColourOf(control);
    return FillRect(dc, &area, colour ? brush(*colour) : GetSysColorBrush(COLOR_BTNFACE)) != 0;
}

LRESULT Win32View::onColour(HDC dc, HWND child, UINT message)
{
    Win32Control* control = find(child);
    if (!control && child)  // the edit field inside a combo box
        control = find(GetParent(child));
    if (const LRESULT brush = control ? control->colour(dc) : 0)
        return brush;
    return DefWindowProcA(window_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
}

LRESULT CALLBACK Win32View::formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* view = static_cast<Win32View*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        view->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<Win32View*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!view)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        view->window_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return view->onFormMessage(message, wParam, lParam);
}

LRESULT Win32View::onFormMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case WM_HSCROLL:
        if (Win32Control* control = find(reinterpret_cast<HWND>(lParam)); control && !mirroring_)
            control->notify(message, LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (Win32Control* timer = findById(static_cast<int>(wParam)))
            timer->notify(message, 0);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return onColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message);
    case WM_DRAWITEM:
        if (const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam); item && item->CtlType == ODT_STATIC) {
            if (Win32Control* control = find(item->hwndItem))
                control->draw(*item);
            return TRUE;
        }
        break;
    case WM_ERASEBKGND:
        if (form_.definition().backColor)
            return fillBackground(reinterpret_cast<HDC>(wParam), window_, nullptr);
        break;
    case WM_CLOSE:
        // The form's handler decides whether and how the window goes.
        deliver("", ui::Event::Close);
        return 0;
    case WM_ACTIVATE:
        if (onFocus(wParam))
            return 0;
        break;
    case DM_GETDEFID:
        for (const auto& control : controls_)
            if (control->def().isDefault)
                return MAKELRESULT(control->id(), DC_HASDEFID);
        return 0;
    case WM_DPICHANGED:
        return onDpiChanged(wParam, lParam);
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

bool Win32View::onFocus(WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        lastFocus_ = GetFocus();
        return false;
    }
    // Back to the control that had the focus, or the first tab stop.
    HWND focus = lastFocus_ && IsChild(window_, lastFocus_) && IsWindowVisible(lastFocus_) ? lastFocus_ : nullptr;
    if (!focus)
        focus = GetNextDlgTabItem(window_, nullptr, FALSE);
    if (!focus)
        return false;
    SetFocus(focus);
    return true;
}

LRESULT Win32View::onDpiChanged(WPARAM wParam, LPARAM lParam)
{
    dpi_ = HIWORD(wParam);
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    layout();
    if (suggested)
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
    return 0;
}

LRESULT CALLBACK Win32View::controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* control = reinterpret_cast<Win32Control*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!control)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        return CallWindowProcA(control->original_, window, message, wParam, lParam);
    return control->view_.onControlMessage(*control, window, message, wParam, lParam);
}

LRESULT Win32View::onControlMessage(Win32Control& control, HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam)
{
    const ui::ControlDef& def = control.def();
    if (LRESULT result = 0; control.handle(message, wParam, result))
        return result;
    switch (message) {
    case WM_MOUSEMOVE:
        deliver(def.id(), ui::Event::MouseMove);
        break;
    case WM_SETCURSOR:
        if (!def.cursor.empty()) {
            if (const HCURSOR cursor = loadCursor(renderer_.instance(), def.cursor)) {
                SetCursor(cursor);
                return TRUE;
            }
        }
        break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
        // A container's controls tell the form, as if they were its own.
        if (control.container())
            return SendMessageA(window_, message, wParam, lParam);
        break;
    default:
        break;
    }
    return CallWindowProcA(control.original_, window, message, wParam, lParam);
}

}  // namespace ferro::win32
