// Each kind of control of the forms as a small wrapper over its Win32 window.
// A new kind of control is one more class here and one more line in make().
#include "ui/win32/Win32Control.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "ui/win32/Images.h"
#include "ui/win32/Win32View.h"
#include "ui/win32/WinText.h"

namespace ferro::win32 {
namespace {

using ui::ControlKind;

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

// The style bit of a class for the text's alignment.
DWORD aligned(ui::Alignment alignment, DWORD left, DWORD right, DWORD centre)
{
    return alignment == ui::Alignment::Right ? right : alignment == ui::Alignment::Center ? centre : left;
}

// Static controls with SS_NOTIFY report clicks and double clicks.
void notifyStatic(Win32View& view, const ui::ControlDef& def, UINT message, int code)
{
    if (message != WM_COMMAND)
        return;
    if (code == STN_CLICKED)
        view.deliver(def.id(), ui::Event::Click);
    else if (code == STN_DBLCLK)
        view.deliver(def.id(), ui::Event::DblClick);
}

class Label final : public Win32Control {
public:
    using Win32Control::Win32Control;
    void create(HWND parent) override
    {
        const DWORD alignment = aligned(def_.alignment, SS_LEFT, SS_RIGHT, SS_CENTER);
        // SS_NOTIFY: labels take their clicks (and so keep them from what lies beneath).
        createWindow(parent, "STATIC", SS_NOTIFY | (def_.autoSize && alignment == SS_LEFT ? SS_LEFTNOWORDWRAP : alignment),
                     0, def_.caption);
    }
    void notify(UINT message, int code) override { notifyStatic(view_, def_, message, code); }
    SIZE measure(SIZE designed) override
    {
        if (!def_.autoSize)
            return designed;
        // A memory DC measures as the window's would, without asking the
        // window manager for the window's own.
        const HDC dc = CreateCompatibleDC(nullptr);
        if (!dc)
            return designed;
        const HGDIOBJ previous = SelectObject(dc, view_.font(view_.fontDefOf(*this)));
        const std::string text = toAnsi(view_.form().state(def_.id()).caption);
        RECT box{0, 0, 0, 0};
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, previous);
        DeleteDC(dc);
        return {box.right, box.bottom};
    }
};

class Button final : public Win32Control {
public:
    using Win32Control::Win32Control;
    void create(HWND parent) override
    {
        createWindow(parent, "BUTTON", tabStop() | (def_.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0,
                     def_.caption);
    }
    void notify(UINT message, int code) override
    {
        if (message == WM_COMMAND && code == BN_CLICKED)
            view_.deliver(def_.id(), ui::Event::Click);
    }

protected:
    // A button stands on its container's colour.
    std::optional<ui::Color> backColour() const override { return view_.backColourOf(view_.parentOf(*this)); }
};

// A group box that is a panel here: it takes its own clicks.
class Frame final : public Win32Control {
public:
    using Win32Control::Win32Control;
    void create(HWND parent) override
    {
        createWindow(parent, "BUTTON", tabStop() | BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, def_.caption);
    }
    bool handle(UINT message, WPARAM wParam, LRESULT& result) override
    {
        switch (message) {
        case WM_NCHITTEST:  // a group box would let the mouse through to what lies beneath
            result = HTCLIENT;
            return true;
        case WM_LBUTTONUP:
            view_.deliver(def_.id(), ui::Event::Click);
            return false;
        case WM_ERASEBKGND:
            result = view_.fillBackground(reinterpret_cast<HDC>(wParam), window_, this);
            return true;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            // A group box drawn by the system (themed or not) draws its caption
            // in the theme's colour or black, whatever WM_CTLCOLORSTATIC says.
            if (!def_.foreColor)
                return false;
            paint(message, reinterpret_cast<HDC>(wParam));
            result = 0;
            return true;
        default:
            return false;
        }
    }
    bool container() const override { return true; }

private:
    // The classic group box: an etched border and, on its top line, the caption in our colours.
    void paint(UINT message, HDC given)
    {
        PAINTSTRUCT painting{};
        const HDC dc = message == WM_PAINT ? BeginPaint(window_, &painting) : given;
        if (!dc)
            return;
        const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0)));
        TEXTMETRICA metrics{};
        RECT border{};
        if (GetTextMetricsA(dc, &metrics) && GetClientRect(window_, &border)) {
            border.top += metrics.tmHeight / 2;
            DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
            const std::string text = toAnsi(view_.form().state(def_.id()).caption);
            const int indent = MulDiv(7, view_.dpi(), 96), gap = MulDiv(2, view_.dpi(), 96);
            RECT label{indent + gap, 0, border.right - indent, metrics.tmHeight};
            DrawTextA(dc, text.c_str(), -1, &label, DT_SINGLELINE | DT_CALCRECT);
            const auto back = reinterpret_cast<HBRUSH>(colour(dc));  // sets the text's colours
            const RECT behind{label.left - gap, label.top, label.right + gap, label.bottom};
            FillRect(dc, &behind, back ? back : GetSysColorBrush(COLOR_BTNFACE));
            if (!IsWindowEnabled(window_))
                SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
            SetBkMode(dc, TRANSPARENT);
            DrawTextA(dc, text.c_str(), -1, &label, DT_SINGLELINE);
        }
        SelectObject(dc, previous);
        if (message == WM_PAINT)
            EndPaint(window_, &painting);
    }
};

class Slider final : public Win32Control {
public:
    using Win32Control::Win32Control;
    void create(HWND parent) override
    {
        createWindow(parent, TRACKBAR_CLASSA, tabStop() | TBS_HORZ | TBS_NOTICKS, 0, def_.caption);
        SendMessageA(window_, TBM_SETRANGEMIN, FALSE, def_.min);
        SendMessageA(window_, TBM_SETRANGEMAX, FALSE, def_.max);
        SendMessageA(window_, TBM_SETLINESIZE, 0, def_.smallChange);
        SendMessageA(window_, TBM_SETPAGESIZE, 0, def_.largeChange);
        SendMessageA(window_, TBM_SETPOS, TRUE, def_.value);
    }
    void mirror(const ui::ControlState& state) override
    {
        if (position() != state.value)
            SendMessageA(window_, TBM_SETPOS, TRUE, state.value);
    }
    void notify(UINT message, int) override
    {
        if (message != WM_HSCROLL)
            return;
        const int value = position();
        if (value != view_.form().state(def_.id()).value) {
            view_.form().userSetValue(def_.id(), value);
            view_.deliver(def_.id(), ui::Event::Scroll);
        }
    }

private:
    int position() const { return static_cast<int>(SendMessageA(window_, TBM_GETPOS, 0, 0)); }
};

class Combo final : public Win32Control {
public:
    using Win32Control::Win32Control;
    void create(HWND parent) override
    {
        createWindow(parent, "COMBOBOX", tabStop() | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0, def_.caption);
        for (const std::string& item : def_.items)
            if (SendMessageA(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toAnsi(item).c_str())) < 0)
                throw std::runtime_error("cannot fill the list of " + def_.id());
    }
    void mirror(const ui::ControlState& state) override
    {
        if (windowText(window_) == state.caption)
            return;
        // A text of the list selects that item, as a user's choice would.
        const std::string text = toAnsi(state.caption);
        const LRESULT item =
            SendMessageA(window_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(window_, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        if (item == CB_ERR)
            SetWindowTextA(window_, text.c_str());
    }
    void notify(UINT message, int code) override
    {
        if (message != WM_COMMAND)
            return;
        if (code == CBN_SELCHANGE) {
            // The edit field shows the chosen item only after this notification.
            const LRESULT item = SendMessageA(window_, CB_GETCURSEL, 0, 0);
            const LRESULT length = item == CB_ERR ? CB_ERR : SendMessageA(window_, CB_GETLBTEXTLEN, item, 0);
            if (length == CB_ERR)
                return;
            std::string text(static_cast<std::size_t>(length) + 1, '\0');
            SendMessageA(window_, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<std::size_t>(length));
            changed(fromAnsi(text));
        } else if (code == CBN_EDITCHANGE) {
            changed(windowText(window_));
        }
    }
    void place(const RECT& box) override
    {
        // The closed box is as high as designed; the list drops below it.
        const int height = box.bottom - box.top;
        SetWindowPos(window_, nullptr, box.left, box.top, box.right - box.left, height * 6,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        RECT closed{};
        GetWindowRect(window_, &closed);
        const LRESULT item = SendMessageA(window_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        if (item > 0 && closed.bottom - closed.top != height)
            SendMessageA(window_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item + height - (closed.bottom - closed.top));
    }

protected:
    // A combo box has a surface of its own: its colour, or the system's.
    std::optional<ui::Color> backColour() const override { return view_.form().state(def_.id()).backColor; }
    int systemColour() const override { return IsWindowEnabled(window_) ? COLOR_WINDOW : COLOR_BTNFACE; }

private:
    void changed(const std::string& text)
    {
        view_.form().userSetText(def_.id(), text);
        view_.deliver(def_.id(), ui::Event::Change);
    }
};

class TextBox final : public Win32Control {
public:
    using Win32Control::Win32Control;
    void create(HWND parent) override
    {
        const DWORD alignment = aligned(def_.alignment, ES_LEFT, ES_RIGHT, ES_CENTER);
        const DWORD lines = def_.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL;
        createWindow(parent, "EDIT", tabStop() | lines | (def_.readOnly ? ES_READONLY : 0) | alignment,
                     def_.border ? WS_EX_CLIENTEDGE : 0, def_.multiLine ? withCrLf(def_.caption) : def_.caption);
    }
    void mirror(const ui::ControlState& state) override { mirrorText(state.caption, def_.multiLine); }
    void notify(UINT message, int code) override
    {
        if (message == WM_COMMAND && code == EN_CHANGE) {
            view_.form().userSetText(def_.id(), withoutCr(windowText(window_)));
            view_.deliver(def_.id(), ui::Event::Change);
        }
    }
    void syncSelection() override
    {
        // What the user has selected, in the form's own text (LF line ends).
        DWORD start = 0, end = 0;
        SendMessageA(window_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const std::string shown = windowText(window_);
        const auto inForm = [&](DWORD position) {
            const auto upTo = shown.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(position, shown.size()));
            return static_cast<int>(position) - static_cast<int>(std::count(shown.begin(), upTo, '\r'));
        };
        const int from = inForm(start), to = inForm(end);
        view_.form().userSetSelection(def_.id(), from, to - from);
    }

protected:
    // A text box has a surface of its own: its colour, or the system's.
    std::optional<ui::Color> backColour() const override { return view_.form().state(def_.id()).backColor; }
    int systemColour() const override
    {
        return !def_.readOnly && IsWindowEnabled(window_) ? COLOR_WINDOW : COLOR_BTNFACE;
    }
};

// A picture box (a container with an optional picture and border) or an image.
class PictureBox final : public Win32Control {
public:
    using Win32Control::Win32Control;
    void create(HWND parent) override
    {
        const bool box = def_.kind == ControlKind::Picture;
        createWindow(parent, "STATIC", SS_OWNERDRAW | SS_NOTIFY | WS_CLIPCHILDREN | (box && def_.border ? WS_BORDER : 0),
                     box ? WS_EX_CONTROLPARENT : 0, def_.caption);
        if (!def_.image.empty())
            picture_ = std::make_unique<Picture>(view_.instance(), def_.image);
    }
    void mirror(const ui::ControlState&) override {}
    void notify(UINT message, int code) override { notifyStatic(view_, def_, message, code); }
    SIZE measure(SIZE designed) override
    {
        if (!def_.autoSize || !picture_ || !picture_->loaded())
            return designed;
        const SIZE size = picture_->size(view_.dpi());
        const int border = def_.border ? 2 : 0;
        return {size.cx + border, size.cy + border};
    }
    void draw(const DRAWITEMSTRUCT& item) override
    {
        view_.fillBackground(item.hDC, item.hwndItem, this);
        if (picture_)
            picture_->draw(item.hDC, item.rcItem, def_.stretch, view_.dpi());
    }
    bool container() const override { return def_.kind == ControlKind::Picture; }

private:
    std::unique_ptr<Picture> picture_;
};

// A strip of its colour, from its first pixel to its last, borderWidth pixels thick.
class Line final : public Win32Control {
public:
    using Win32Control::Win32Control;
    void create(HWND parent) override { createWindow(parent, "STATIC", tabStop(), 0, def_.caption); }
    void mirror(const ui::ControlState&) override {}
    SIZE measure(SIZE) override
    {
        return {view_.px(def_.left + def_.width) - view_.px(def_.left) + 1,
                std::max(1, MulDiv(def_.borderWidth, view_.dpi(), 96))};
    }
    LRESULT colour(HDC dc) override
    {
        const ui::Color colour = def_.foreColor.value_or(0);
        SetBkColor(dc, colour);
        return reinterpret_cast<LRESULT>(view_.brush(colour));
    }
    bool takesFont() const override { return false; }
};

class MenuItem final : public Win32Control {
public:
    using Win32Control::Win32Control;
    void create(HWND) override
    {
        if (!AppendMenuA(view_.menuBar(), MF_STRING, static_cast<UINT_PTR>(id_), toAnsi(def_.caption).c_str()))
            throw std::runtime_error("cannot add the menu item " + def_.id());
    }
    void mirror(const ui::ControlState& state) override
    {
        const HMENU menu = view_.menuBar();
        ModifyMenuA(menu, static_cast<UINT>(id_), MF_BYCOMMAND | MF_STRING, static_cast<UINT_PTR>(id_),
                    toAnsi(state.caption).c_str());
        EnableMenuItem(menu, static_cast<UINT>(id_), MF_BYCOMMAND | (state.enabled ? MF_ENABLED : MF_GRAYED));
        DrawMenuBar(view_.window());
    }
    void notify(UINT message, int) override
    {
        if (message == WM_COMMAND)
            view_.deliver(def_.id(), ui::Event::Click);
    }
};

// Ticks every interval ms while enabled, through the form window's WM_TIMER.
class Timer final : public Win32Control {
public:
    using Win32Control::Win32Control;
    void create(HWND) override {}
    void mirror(const ui::ControlState& state) override
    {
        // Armed anew, its interval counted from now.
        const HWND form = view_.window();
        if (running_)
            KillTimer(form, static_cast<UINT_PTR>(id_));
        running_ = state.enabled && state.interval > 0 &&
                   SetTimer(form, static_cast<UINT_PTR>(id_), static_cast<UINT>(state.interval), nullptr) != 0;
    }
    void notify(UINT message, int) override
    {
        if (message == WM_TIMER)
            view_.deliver(def_.id(), ui::Event::Timer);
    }
    bool timerRunning() const override { return running_; }

private:
    bool running_ = false;
};

}  // namespace

std::unique_ptr<Win32Control> Win32Control::make(Win32View& view, const ui::ControlDef& def, int id)
{
    switch (def.kind) {
    case ControlKind::Label: return std::make_unique<Label>(view, def, id);
    case ControlKind::Button: return std::make_unique<Button>(view, def, id);
    case ControlKind::Frame: return std::make_unique<Frame>(view, def, id);
    case ControlKind::Slider: return std::make_unique<Slider>(view, def, id);
    case ControlKind::Combo: return std::make_unique<Combo>(view, def, id);
    case ControlKind::TextBox: return std::make_unique<TextBox>(view, def, id);
    case ControlKind::Picture:
    case ControlKind::Image: return std::make_unique<PictureBox>(view, def, id);
    case ControlKind::Line: return std::make_unique<Line>(view, def, id);
    case ControlKind::MenuItem: return std::make_unique<MenuItem>(view, def, id);
    case ControlKind::Timer: return std::make_unique<Timer>(view, def, id);
    }
    throw std::logic_error("no window for the control " + def.id());
}

void Win32Control::createWindow(HWND parent, const char* windowClass, DWORD style, DWORD exStyle,
                                const std::string& text)
{
    style |= WS_CHILD | WS_CLIPSIBLINGS | (def_.visible ? WS_VISIBLE : 0) | (def_.enabled ? 0 : WS_DISABLED);
    // Made where it belongs: each later move is a trip to the window manager.
    const RECT box = view_.boxOf(*this);
    window_ = CreateWindowExA(exStyle, windowClass, toAnsi(text).c_str(), style, box.left, box.top,
                              box.right - box.left, box.bottom - box.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), view_.instance(), nullptr);
    if (!window_)
        throw std::runtime_error("cannot create the control " + def_.id() + " of " + view_.form().definition().name);
    placed_ = box;
}

void Win32Control::mirror(const ui::ControlState& state) { mirrorText(state.caption, false); }

void Win32Control::mirrorText(const std::string& caption, bool multiLine)
{
    if (withoutCr(windowText(window_)) == caption)
        return;
    SetWindowTextA(window_, toAnsi(multiLine ? withCrLf(caption) : caption).c_str());
    if (def_.autoSize)
        view_.place(*this);
}

void Win32Control::notify(UINT, int) {}

void Win32Control::place(const RECT& box)
{
    if (placed_ && EqualRect(&*placed_, &box))
        return;
    if (SetWindowPos(window_, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                     SWP_NOZORDER | SWP_NOACTIVATE))
        placed_ = box;
}

std::optional<ui::Color> Win32Control::backColour() const { return view_.backColourOf(this); }

LRESULT Win32Control::colour(HDC dc)
{
    const std::optional<ui::Color> fore = view_.form().state(def_.id()).foreColor;
    const std::optional<ui::Color> back = backColour();
    if (!fore && !back)
        return 0;
    if (fore)
        SetTextColor(dc, *fore);
    const int system = systemColour();
    SetBkColor(dc, back ? *back : GetSysColor(system));
    return reinterpret_cast<LRESULT>(back ? view_.brush(*back) : GetSysColorBrush(system));
}

bool Win32Control::handle(UINT, WPARAM, LRESULT&) { return false; }

void Win32Control::draw(const DRAWITEMSTRUCT&) {}

}  // namespace ferro::win32
