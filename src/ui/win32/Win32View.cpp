#include "ui/win32/Win32View.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "ui/win32/Images.h"
#include "ui/win32/SystemLibraries.h"
#include "ui/win32/Win32Renderer.h"
#include "ui/win32/WinText.h"

namespace ferro::win32 {
namespace {

using ui::ControlKind;

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

bool isContainer(const ui::ControlDef& def)
{
    return def.kind == ControlKind::Frame || def.kind == ControlKind::Picture;
}

bool hasWindow(const ui::ControlDef& def)
{
    return def.kind != ControlKind::MenuItem && def.kind != ControlKind::Timer;
}

// Multi-line edits break lines at CR LF; the forms' texts use LF alone.
std::string withCrLf(const std::string& text)
{
    std::string result;
    for (const char c : text) {
        if (c == '\n')
            result += '\r';
        if (c != '\r')
            result += c;
    }
    return result;
}

std::string withoutCr(const std::string& text)
{
    std::string result;
    for (const char c : text)
        if (c != '\r')
            result += c;
    return result;
}

std::string windowText(HWND window)
{
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return fromAnsi(text);
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
        Control made;
        made.def = &control;
        made.id = controlId(def, control.id());
        controls_.push_back(std::move(made));
    }
    createMenu();

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
    window_ = CreateWindowExA(exStyle, kFormClass, toAnsi(form.caption()).c_str(), style, CW_USEDEFAULT,
                              CW_USEDEFAULT, 100, 100, owner, menu_, renderer.instance(), this);
    if (!window_) {
        if (menu_)
            DestroyMenu(menu_);
        throw std::runtime_error("cannot create the window of " + def.name);
    }
    dpi_ = dpiOf(window_);
    tooltips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                renderer.instance(), nullptr);
    createControls();
    layout();
    orderTabStops();
    for (Control& control : controls_)
        mirror(control);
    renderer_.views_[&form_] = this;
    form_.attach(this);
}

Win32View::~Win32View()
{
    renderer_.views_.erase(&form_);
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
    return found == byName_.end() ? nullptr : controls_[found->second].window;
}

std::optional<ui::FontDef> Win32View::fontOf(const std::string& id) const
{
    const auto found = byName_.find(id);
    if (found == byName_.end() || !controls_[found->second].window)
        return std::nullopt;
    return fontDefOf(controls_[found->second]);
}

bool Win32View::timerRunning(const std::string& id) const
{
    const auto found = byName_.find(id);
    return found != byName_.end() && controls_[found->second].timerRunning;
}

void Win32View::createMenu()
{
    for (Control& control : controls_) {
        if (control.def->kind != ControlKind::MenuItem)
            continue;
        if (!menu_ && !(menu_ = CreateMenu()))
            throw std::runtime_error("cannot create the menu bar of " + form_.definition().name);
        if (!AppendMenuA(menu_, MF_STRING, static_cast<UINT_PTR>(control.id), toAnsi(control.def->caption).c_str()))
            throw std::runtime_error("cannot add the menu item " + control.def->id());
    }
}

void Win32View::createControls()
{
    for (Control& control : controls_)
        if (hasWindow(*control.def))
            createControl(control);
}

void Win32View::createControl(Control& control)
{
    const ui::ControlDef& def = *control.def;
    const Control* parent = parentOf(control);
    const HWND parentWindow = parent && parent->window ? parent->window : window_;
    const char* windowClass = "STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (def.visible ? WS_VISIBLE : 0) | (def.enabled ? 0 : WS_DISABLED);
    DWORD exStyle = 0;
    if (def.tabIndex >= 0 && def.kind != ControlKind::Label && def.kind != ControlKind::Picture &&
        def.kind != ControlKind::Image)
        style |= WS_TABSTOP;
    const DWORD alignment = def.alignment == ui::Alignment::Right    ? SS_RIGHT
                            : def.alignment == ui::Alignment::Center ? SS_CENTER
                                                                     : SS_LEFT;
    switch (def.kind) {
    case ControlKind::Label:
        // SS_NOTIFY: labels take their clicks (and so keep them from what lies beneath).
        style |= SS_NOTIFY | (def.autoSize && alignment == SS_LEFT ? SS_LEFTNOWORDWRAP : alignment);
        break;
    case ControlKind::Button:
        windowClass = "BUTTON";
        style |= def.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        break;
    case ControlKind::Frame:
        windowClass = "BUTTON";
        style |= BS_GROUPBOX | WS_CLIPCHILDREN;
        exStyle |= WS_EX_CONTROLPARENT;
        break;
    case ControlKind::Slider:
        windowClass = TRACKBAR_CLASSA;
        style |= TBS_HORZ | TBS_NOTICKS;
        break;
    case ControlKind::Combo:
        windowClass = "COMBOBOX";
        style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
        break;
    case ControlKind::TextBox:
        windowClass = "EDIT";
        style |= (def.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL) |
                 (def.readOnly ? ES_READONLY : 0) |
                 (def.alignment == ui::Alignment::Right    ? ES_RIGHT
                  : def.alignment == ui::Alignment::Center ? ES_CENTER
                                                           : ES_LEFT);
        exStyle |= def.border ? WS_EX_CLIENTEDGE : 0;
        break;
    case ControlKind::Picture:
    case ControlKind::Image:
        style |= SS_OWNERDRAW | SS_NOTIFY | WS_CLIPCHILDREN | (def.kind == ControlKind::Picture && def.border ? WS_BORDER : 0);
        exStyle |= def.kind == ControlKind::Picture ? WS_EX_CONTROLPARENT : 0;
        if (!def.image.empty())
            control.picture = std::make_unique<Picture>(renderer_.instance(), def.image);
        break;
    case ControlKind::Line:
        break;  // a strip of its colour (WM_CTLCOLORSTATIC)
    case ControlKind::MenuItem:
    case ControlKind::Timer:
        return;
    }
    const std::string text = def.kind == ControlKind::TextBox && def.multiLine ? withCrLf(def.caption) : def.caption;
    control.window = CreateWindowExA(exStyle, windowClass, toAnsi(text).c_str(), style, 0, 0, 0, 0, parentWindow,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), renderer_.instance(),
                                     nullptr);
    if (!control.window)
        throw std::runtime_error("cannot create the control " + def.id() + " of " + form_.definition().name);
    if (!SetWindowSubclass(control.window, controlProc, 0, reinterpret_cast<DWORD_PTR>(this)))
        throw std::runtime_error("cannot watch the control " + def.id());

    if (def.kind == ControlKind::Slider) {
        SendMessageA(control.window, TBM_SETRANGEMIN, FALSE, def.min);
        SendMessageA(control.window, TBM_SETRANGEMAX, FALSE, def.max);
        SendMessageA(control.window, TBM_SETLINESIZE, 0, def.smallChange);
        SendMessageA(control.window, TBM_SETPAGESIZE, 0, def.largeChange);
        SendMessageA(control.window, TBM_SETPOS, TRUE, def.value);
    } else if (def.kind == ControlKind::Combo) {
        for (const std::string& item : def.items)
            if (SendMessageA(control.window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toAnsi(item).c_str())) < 0)
                throw std::runtime_error("cannot fill the list of " + def.id());
    } else if (def.kind == ControlKind::Frame && def.foreColor) {
        // A themed group box draws its caption in the theme's colour, not in ours.
        setWindowTheme(control.window, L"", L"");
    }
}

const Win32View::Control* Win32View::parentOf(const Control& control) const
{
    if (control.def->parent.empty())
        return nullptr;
    const auto found = byName_.find(control.def->parent);
    return found == byName_.end() ? nullptr : &controls_[found->second];
}

const ui::FontDef& Win32View::fontDefOf(const Control& control) const
{
    return control.def->font ? *control.def->font : form_.definition().font;
}

HFONT Win32View::font(const ui::FontDef& def)
{
    for (const auto& [made, handle] : fonts_)
        if (made.face == def.face && made.points == def.points && made.bold == def.bold &&
            made.italic == def.italic && made.underline == def.underline)
            return handle;
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

std::optional<ui::Color> Win32View::backColourOf(const Control* control) const
{
    for (; control; control = parentOf(*control))
        if (const auto& colour = form_.state(control->def->id()).backColor)
            return colour;
    return form_.definition().backColor;
}

void Win32View::layout()
{
    // Fonts at this dpi; the old ones go once no control uses them.
    auto oldFonts = std::move(fonts_);
    fonts_.clear();
    for (Control& control : controls_)
        if (control.window && control.def->kind != ControlKind::Line)
            SendMessageA(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(font(fontDefOf(control))), FALSE);
    for (auto& [def, old] : oldFonts)
        DeleteObject(old);
    for (Control& control : controls_)
        if (control.window)
            placeControl(control);

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

void Win32View::placeControl(Control& control)
{
    const ui::ControlDef& def = *control.def;
    int left = px(def.left), top = px(def.top);
    int width = px(def.width), height = px(def.height);
    if (def.kind == ControlKind::Line) {
        // From its first pixel to its last, borderWidth pixels thick.
        width = px(def.left + def.width) - left + 1;
        height = std::max(1, MulDiv(def.borderWidth, dpi_, 96));
    } else if (def.autoSize && def.kind == ControlKind::Label) {
        const HDC dc = GetDC(control.window);
        if (dc) {
            const HGDIOBJ previous = SelectObject(dc, font(fontDefOf(control)));
            const std::string text = toAnsi(form_.state(def.id()).caption);
            RECT box{0, 0, 0, 0};
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT | DT_SINGLELINE);
            SelectObject(dc, previous);
            ReleaseDC(control.window, dc);
            width = box.right;
            height = box.bottom;
        }
    } else if (def.autoSize && control.picture && control.picture->loaded()) {
        const SIZE size = control.picture->size(dpi_);
        width = size.cx + (def.border ? 2 : 0);
        height = size.cy + (def.border ? 2 : 0);
    }
    if (def.autoSize && def.alignment == ui::Alignment::Right)
        left = px(def.left + def.width) - width;

    if (def.kind == ControlKind::Combo) {
        // The closed box is as high as designed; the list drops below it.
        SetWindowPos(control.window, nullptr, left, top, width, height * 6, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT closed{};
        GetWindowRect(control.window, &closed);
        const LRESULT item = SendMessageA(control.window, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        if (item > 0 && closed.bottom - closed.top != height)
            SendMessageA(control.window, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                         item + height - (closed.bottom - closed.top));
        return;
    }
    SetWindowPos(control.window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32View::orderTabStops()
{
    // Tab and Shift+Tab follow the windows' order among their siblings: the
    // tab stops first, by tab index; a container where its first stop is.
    std::vector<int> key(controls_.size(), INT_MAX);
    for (std::size_t i = controls_.size(); i-- > 0;) {
        const Control& control = controls_[i];
        if (control.def->tabIndex >= 0 && control.window)
            key[i] = std::min(key[i], control.def->tabIndex);
        if (const Control* parent = parentOf(control))
            key[static_cast<std::size_t>(parent - controls_.data())] =
                std::min(key[static_cast<std::size_t>(parent - controls_.data())], key[i]);
    }
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].window)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key[a] < key[b]; });
    std::map<HWND, HWND> previous;  // per parent window
    for (const std::size_t i : order) {
        const HWND window = controls_[i].window;
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
        mirror(controls_[found->second]);
}

void Win32View::mirror(Control& control)
{
    const ui::ControlDef& def = *control.def;
    const ui::ControlState& state = form_.state(def.id());
    if (def.kind == ControlKind::Timer) {
        // Armed anew, its interval counted from now.
        KillTimer(window_, static_cast<UINT_PTR>(control.id));
        control.timerRunning = state.enabled && state.interval > 0 &&
                               SetTimer(window_, static_cast<UINT_PTR>(control.id), static_cast<UINT>(state.interval),
                                        nullptr) != 0;
        return;
    }
    if (def.kind == ControlKind::MenuItem) {
        ModifyMenuA(menu_, static_cast<UINT>(control.id), MF_BYCOMMAND | MF_STRING, static_cast<UINT_PTR>(control.id),
                    toAnsi(state.caption).c_str());
        EnableMenuItem(menu_, static_cast<UINT>(control.id), MF_BYCOMMAND | (state.enabled ? MF_ENABLED : MF_GRAYED));
        DrawMenuBar(window_);
        return;
    }
    const HWND window = control.window;
    mirroring_ = true;
    if (def.kind == ControlKind::Slider) {
        if (SendMessageA(window, TBM_GETPOS, 0, 0) != state.value)
            SendMessageA(window, TBM_SETPOS, TRUE, state.value);
    } else if (def.kind == ControlKind::Combo) {
        if (windowText(window) != state.caption) {
            // A text of the list selects that item, as a user's choice would.
            const LRESULT item = SendMessageA(window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(toAnsi(state.caption).c_str()));
            SendMessageA(window, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
            if (item == CB_ERR)
                SetWindowTextA(window, toAnsi(state.caption).c_str());
        }
    } else if (def.kind != ControlKind::Line && def.kind != ControlKind::Picture && def.kind != ControlKind::Image) {
        const bool multiLine = def.kind == ControlKind::TextBox && def.multiLine;
        if (withoutCr(windowText(window)) != state.caption) {
            SetWindowTextA(window, toAnsi(multiLine ? withCrLf(state.caption) : state.caption).c_str());
            if (def.autoSize)
                placeControl(control);
        }
    }
    if ((IsWindowEnabled(window) != FALSE) != state.enabled)
        EnableWindow(window, state.enabled);
    const bool visible = (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible != state.visible)
        ShowWindow(window, state.visible ? SW_SHOWNA : SW_HIDE);
    // Colours are applied when the control paints.
    InvalidateRect(window, nullptr, TRUE);

    if (!state.toolTip.empty() || control.tooltipOwner) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(window);
        std::string text = toAnsi(state.toolTip);
        tool.lpszText = text.data();
        if (!control.tooltipOwner) {
            if (tooltips_ && SendMessageA(tooltips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)))
                control.tooltipOwner = window_;
        } else {
            SendMessageA(tooltips_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    mirroring_ = false;
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

bool Win32View::isShown() const { return window_ && IsWindowVisible(window_); }

Win32View::Control* Win32View::find(HWND window)
{
    for (Control& control : controls_)
        if (control.window && control.window == window)
            return &control;
    return nullptr;
}

Win32View::Control* Win32View::findById(int id)
{
    const std::size_t index = static_cast<std::size_t>(id - kFirstControlId);
    return id >= kFirstControlId && index < controls_.size() ? &controls_[index] : nullptr;
}

void Win32View::syncSelections()
{
    // What the user has selected, in the form's own text (LF line ends).
    for (Control& control : controls_) {
        if (control.def->kind != ControlKind::TextBox || !control.window)
            continue;
        DWORD start = 0, end = 0;
        SendMessageA(control.window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const std::string shown = windowText(control.window);
        const auto inForm = [&](DWORD position) {
            const auto upTo = shown.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(position, shown.size()));
            return static_cast<int>(position) - static_cast<int>(std::count(shown.begin(), upTo, '\r'));
        };
        const int from = inForm(start), to = inForm(end);
        form_.userSetSelection(control.def->id(), from, to - from);
    }
}

void Win32View::deliver(const std::string& id, ui::Event event, int key)
{
    syncSelections();
    form_.deliver(id, event, key);
}

void Win32View::onCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    const HWND from = reinterpret_cast<HWND>(lParam);
    if (!from) {
        // Enter and Escape (from the dialog keys), or a menu item.
        for (const Control& control : controls_) {
            const ui::ControlDef& def = *control.def;
            if ((id == IDOK && def.isDefault) || (id == IDCANCEL && def.isCancel)) {
                if (control.window && IsWindowVisible(control.window) && IsWindowEnabled(control.window))
                    deliver(def.id(), ui::Event::Click);
                return;
            }
        }
        if (const Control* item = findById(id); item && item->def->kind == ControlKind::MenuItem)
            deliver(item->def->id(), ui::Event::Click);
        return;
    }
    Control* control = findById(id);
    if (!control || control->window != from || mirroring_)
        return;
    const std::string& name = control->def->id();
    switch (control->def->kind) {
    case ControlKind::Button:
        if (code == BN_CLICKED)
            deliver(name, ui::Event::Click);
        break;
    case ControlKind::Label:
    case ControlKind::Picture:
    case ControlKind::Image:
        if (code == STN_CLICKED)
            deliver(name, ui::Event::Click);
        else if (code == STN_DBLCLK)
            deliver(name, ui::Event::DblClick);
        break;
    case ControlKind::Combo:
        if (code == CBN_SELCHANGE) {
            // The edit field shows the chosen item only after this notification.
            const LRESULT item = SendMessageA(from, CB_GETCURSEL, 0, 0);
            const LRESULT length = item == CB_ERR ? CB_ERR : SendMessageA(from, CB_GETLBTEXTLEN, item, 0);
            if (length == CB_ERR)
                break;
            std::string text(static_cast<std::size_t>(length) + 1, '\0');
            SendMessageA(from, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<std::size_t>(length));
            form_.userSetText(name, fromAnsi(text));
            deliver(name, ui::Event::Change);
        } else if (code == CBN_EDITCHANGE) {
            form_.userSetText(name, windowText(from));
            deliver(name, ui::Event::Change);
        }
        break;
    case ControlKind::TextBox:
        if (code == EN_CHANGE) {
            form_.userSetText(name, withoutCr(windowText(from)));
            deliver(name, ui::Event::Change);
        }
        break;
    default:
        break;
    }
}

bool Win32View::fillBackground(HDC dc, HWND window, const Control* control)
{
    RECT area{};
    if (!GetClientRect(window, &area))
        return false;
    const std::optional<ui::Color> colour = backColourOf(control);
    return FillRect(dc, &area, colour ? brush(*colour) : GetSysColorBrush(COLOR_BTNFACE)) != 0;
}

LRESULT Win32View::onColour(HDC dc, HWND child, UINT message)
{
    Control* control = find(child);
    if (!control && child)  // the edit field inside a combo box
        control = find(GetParent(child));
    if (!control)
        return DefWindowProcA(window_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    const ui::ControlDef& def = *control->def;
    if (def.kind == ControlKind::Line) {
        const ui::Color colour = def.foreColor.value_or(0);
        SetBkColor(dc, colour);
        return reinterpret_cast<LRESULT>(brush(colour));
    }
    const ui::ControlState& state = form_.state(def.id());
    // Labels, frames and buttons stand on their container's colour; text
    // boxes have a colour of their own or the system's.
    const bool ownSurface = def.kind == ControlKind::TextBox || def.kind == ControlKind::Combo;
    const std::optional<ui::Color> back =
        ownSurface ? state.backColor
                   : backColourOf(def.kind == ControlKind::Button ? parentOf(*control) : control);
    if (!state.foreColor && !back)
        return DefWindowProcA(window_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    if (state.foreColor)
        SetTextColor(dc, *state.foreColor);
    const bool editable = ownSurface && !(def.kind == ControlKind::TextBox && def.readOnly) &&
                          IsWindowEnabled(control->window);
    const int system = editable ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, back ? *back : GetSysColor(system));
    return reinterpret_cast<LRESULT>(back ? brush(*back) : GetSysColorBrush(system));
}

void Win32View::drawPicture(const DRAWITEMSTRUCT& item)
{
    Control* control = find(item.hwndItem);
    if (!control)
        return;
    fillBackground(item.hDC, item.hwndItem, control);
    if (control->picture)
        control->picture->draw(item.hDC, item.rcItem, control->def->stretch, dpi_);
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
        if (Control* control = find(reinterpret_cast<HWND>(lParam));
            control && control->def->kind == ControlKind::Slider && !mirroring_) {
            const int value = static_cast<int>(SendMessageA(control->window, TBM_GETPOS, 0, 0));
            if (value != form_.state(control->def->id()).value) {
                form_.userSetValue(control->def->id(), value);
                deliver(control->def->id(), ui::Event::Scroll);
            }
        }
        return 0;
    case WM_TIMER:
        if (const Control* timer = findById(static_cast<int>(wParam)); timer && timer->def->kind == ControlKind::Timer)
            deliver(timer->def->id(), ui::Event::Timer);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return onColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message);
    case WM_DRAWITEM:
        if (const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam); item && item->CtlType == ODT_STATIC) {
            drawPicture(*item);
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
        if (LOWORD(wParam) == WA_INACTIVE) {
            lastFocus_ = GetFocus();
        } else {
            // Back to the control that had the focus, or the first tab stop.
            HWND focus = lastFocus_ && IsChild(window_, lastFocus_) && IsWindowVisible(lastFocus_) ? lastFocus_
                                                                                                    : nullptr;
            if (!focus)
                focus = GetNextDlgTabItem(window_, nullptr, FALSE);
            if (focus) {
                SetFocus(focus);
                return 0;
            }
        }
        break;
    case DM_GETDEFID:
        for (const Control& control : controls_)
            if (control.def->isDefault)
                return MAKELRESULT(control.id, DC_HASDEFID);
        return 0;
    case WM_DPICHANGED: {
        dpi_ = HIWORD(wParam);
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        layout();
        if (suggested)
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(window_, nullptr, TRUE);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK Win32View::controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR view)
{
    auto* self = reinterpret_cast<Win32View*>(view);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, controlProc, 0);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    Control* control = self->find(window);
    return control ? self->onControlMessage(*control, window, message, wParam, lParam)
                   : DefSubclassProc(window, message, wParam, lParam);
}

LRESULT Win32View::onControlMessage(Control& control, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const ui::ControlDef& def = *control.def;
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
    case WM_NCHITTEST:
        // A group box lets the mouse through to what lies beneath; a frame
        // here is a panel that takes its own clicks.
        if (def.kind == ControlKind::Frame)
            return HTCLIENT;
        break;
    case WM_LBUTTONUP:
        if (def.kind == ControlKind::Frame)
            deliver(def.id(), ui::Event::Click);
        break;
    case WM_ERASEBKGND:
        if (def.kind == ControlKind::Frame)
            return fillBackground(reinterpret_cast<HDC>(wParam), window, &control);
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
        if (isContainer(def))
            return SendMessageA(window_, message, wParam, lParam);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace ferro::win32
