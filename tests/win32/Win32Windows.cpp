#include "win32/Win32Windows.h"

#include <chrono>

#include "ui/win32/Win32View.h"
#include "ui/win32/WinText.h"

namespace ferro::win32::testing {

Win32WindowTest::Win32WindowTest(RegistryBackend* registry, int stepIntervalMs)
    : renderer(GetModuleHandleA(nullptr))
{
    static int count = 0;
    folder = std::filesystem::temp_directory_path() /
             ("ferro-win32-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count));
    std::filesystem::create_directories(folder / "Backup");
    AppContext context{os, registry ? *registry : memory, folder.string()};
    context.stepIntervalMs = stepIntervalMs;
    context.splashIntervalMs = 50;
    windows = std::make_unique<AppWindows>(context, renderer);
}

Win32WindowTest::~Win32WindowTest()
{
    windows.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

HWND Win32WindowTest::item(const ui::Form& form, const std::string& id) const
{
    const ui::ControlDef* def = form.definition().find(id);
    if (!def)
        return nullptr;
    const HWND parent = def->parent.empty() ? window(form) : item(form, def->parent);
    return parent ? GetDlgItem(parent, Win32View::controlId(form.definition(), id)) : nullptr;
}

std::string windowText(HWND window)
{
    char buffer[2048] = {};
    const LRESULT length = SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    // The windows hold the system's ANSI code page; the forms' texts are UTF-8.
    return fromAnsi(std::string(buffer, static_cast<std::size_t>(length)));
}

void Win32WindowTest::click(const ui::Form& form, const std::string& id)
{
    const HWND button = item(form, id);
    ASSERT_TRUE(button) << id;
    ASSERT_TRUE(IsWindowVisible(button) && IsWindowEnabled(button)) << "the user cannot click " << id;
    SendMessageA(button, BM_CLICK, 0, 0);
    pump();
}

bool Win32WindowTest::pumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        renderer.processPending();
    }
    return true;
}

Win32RenderedForm::Win32RenderedForm(const Win32Renderer& renderer, const ui::Form& form)
    : renderer_(renderer), form_(form)
{
}

int Win32RenderedForm::clientWidth() const
{
    RECT client{};
    GetClientRect(renderer_.windowOf(&form_), &client);
    return client.right;
}

int Win32RenderedForm::clientHeight() const
{
    RECT client{};
    GetClientRect(renderer_.windowOf(&form_), &client);
    return client.bottom;
}

std::string Win32RenderedForm::caption() const { return windowText(renderer_.windowOf(&form_)); }

namespace {

std::string withoutCr(std::string text)
{
    std::erase(text, '\r');
    return text;
}

// The colours the control's parent gives it to paint with, asked as the
// control itself asks: unset when the parent leaves the DC's colours alone.
void readColours(HWND control, const ui::ControlDef& def, test::RenderedControl& made)
{
    constexpr COLORREF kUntouched = 0x00123456;
    const HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, kUntouched);
    SetBkColor(dc, kUntouched);
    UINT message = WM_CTLCOLORSTATIC;
    if (def.kind == ui::ControlKind::Button)
        message = WM_CTLCOLORBTN;
    else if ((def.kind == ui::ControlKind::TextBox && !def.readOnly) || def.kind == ui::ControlKind::Combo)
        message = WM_CTLCOLOREDIT;
    SendMessageA(GetParent(control), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    if (GetTextColor(dc) != kUntouched)
        made.foreColor = GetTextColor(dc);
    if (GetBkColor(dc) != kUntouched)
        made.backColor = GetBkColor(dc);
    DeleteDC(dc);
}

}  // namespace

std::optional<test::RenderedControl> Win32RenderedForm::control(const std::string& id) const
{
    const ui::ControlDef* def = form_.definition().find(id);
    const Win32View* view = renderer_.view(&form_);
    if (!def || !view)
        return std::nullopt;
    test::RenderedControl made;
    const int commandId = Win32View::controlId(form_.definition(), id);
    if (def->kind == ui::ControlKind::Timer) {
        made.visible = def->visible;  // a timer is never seen
        made.enabled = view->timerRunning(id);
        return made;
    }
    if (def->kind == ui::ControlKind::MenuItem) {
        const HMENU menu = GetMenu(view->window());
        char caption[256] = {};
        if (!menu || GetMenuStringA(menu, static_cast<UINT>(commandId), caption, sizeof caption, MF_BYCOMMAND) <= 0)
            return std::nullopt;
        made.caption = caption;
        made.visible = true;
        made.enabled = !(GetMenuState(menu, static_cast<UINT>(commandId), MF_BYCOMMAND) & MF_GRAYED);
        return made;
    }
    const HWND window = view->control(id);
    if (!window || GetDlgCtrlID(window) != commandId)
        return std::nullopt;
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    made.left = rect.left;
    made.top = rect.top;
    made.width = rect.right - rect.left;
    made.height = rect.bottom - rect.top;
    made.caption = withoutCr(windowText(window));
    made.visible = (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
    made.enabled = IsWindowEnabled(window) != FALSE;
    if (const auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0))) {
        LOGFONTA logical{};
        if (GetObjectA(font, sizeof logical, &logical) == sizeof logical) {
            made.fontFace = logical.lfFaceName;
            made.bold = logical.lfWeight >= FW_BOLD;
            made.underline = logical.lfUnderline != 0;
            // Points as requested; the pixel height is that at the window's dpi.
            const auto requested = view->fontOf(id);
            made.points = requested ? requested->points : 0;
            EXPECT_EQ(-logical.lfHeight, MulDiv(static_cast<int>(made.points * 100), view->dpi(), 7200))
                << id << ": pixel height of " << made.points << " pt";
        }
    }
    readColours(window, *def, made);
    return made;
}

}  // namespace ferro::win32::testing
