// The four windows as the Win32 renderer builds them, and the wizard driven
// through its real controls.
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <cstdint>
#include <fstream>
#include <iterator>

#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "info/frmSplash.h"
#include "ui/win32/Win32View.h"
#include "win32/Win32Windows.h"
#include "wizard/frmBoost.h"

namespace ferro::win32::testing {
namespace {

class Win32Windows : public Win32WindowTest {};

TEST_F(Win32Windows, EveryWindowIsBuiltAsDefined)
{
    frmMain& main = windows->showMain();
    test::expectRenderedAsDefined(main.definition(), Win32RenderedForm(renderer, main));
    frmBoost& boost = windows->showBoost();
    // Page 0 is laid out on load; the rest as designed.
    EXPECT_TRUE(visible(item(boost, "lblInformation_0")));
    EXPECT_FALSE(visible(item(boost, "lblInformation_1")));
    EXPECT_EQ(text(item(boost, "cmbConfirm_0")), "YES");
    frmAbout& about = windows->showAbout();
    test::expectRenderedAsDefined(about.definition(), Win32RenderedForm(renderer, about));
    frmSplash& splash = windows->showSplash();
    for (const ui::ControlDef& def : splash.definition().controls) {
        if (def.kind != ui::ControlKind::Timer) {
            EXPECT_TRUE(item(splash, def.id())) << def.id();
        }
    }
}

TEST_F(Win32Windows, TheWindowsHaveTheirBordersAndButtons)
{
    const struct {
        const ui::Form* form;
        bool caption, systemMenu, minimise, taskbarOwner;
    } cases[] = {
        {&windows->showMain(), true, true, true, false},
        {&windows->showBoost(), true, true, false, false},
        {&windows->showAbout(), true, true, false, true},
        {&windows->showSplash(), false, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form->definition().name);
        const LONG style = GetWindowLongA(window(*c.form), GWL_STYLE);
        EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, c.caption);
        EXPECT_EQ((style & WS_SYSMENU) != 0, c.systemMenu);
        EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, c.minimise);
        EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
        // Owned windows get no taskbar entry of their own.
        EXPECT_EQ(GetWindow(window(*c.form), GW_OWNER) != nullptr, c.taskbarOwner);
    }
    EXPECT_EQ(GetWindow(window(*windows->about()), GW_OWNER), window(*windows->main()));
}

// What a screen reader asks of a window through the standard objects
// Windows makes for it (oleacc): `which` is OBJID_WINDOW or OBJID_CLIENT.
struct Accessible {
    HRESULT roleAnswer = E_FAIL;
    long role = 0;
    std::string name;
};

Accessible accessibleOf(HWND window, LONG which)
{
    Accessible found;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, which, __uuidof(IAccessible), reinterpret_cast<void**>(&object))))
        return found;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    found.roleAnswer = object->get_accRole(self, &role);
    if (found.roleAnswer == S_OK && role.vt == VT_I4)
        found.role = role.lVal;
    BSTR name = nullptr;
    if (object->get_accName(self, &name) == S_OK && name) {
        char text[256] = {};
        WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text - 1, nullptr, nullptr);
        found.name = text;
        SysFreeString(name);
    }
    object->Release();
    return found;
}

// Each window reaches assistive technology as a window named by its title:
// the window object's role (which Wine leaves unanswered) and the client
// area's name, both made by Windows from the window itself.
TEST_F(Win32Windows, EveryWindowReachesAssistiveTechnologyAsAWindowWithItsTitle)
{
    for (const ui::Form* form : std::initializer_list<const ui::Form*>{
             &windows->showSplash(), &windows->showMain(), &windows->showBoost(), &windows->showAbout()}) {
        SCOPED_TRACE(form->definition().name);
        const Accessible frame = accessibleOf(window(*form), OBJID_WINDOW);
        if (frame.roleAnswer != E_NOTIMPL) {  // Wine's answer
            EXPECT_EQ(frame.role, ROLE_SYSTEM_WINDOW);
        }
        const Accessible client = accessibleOf(window(*form), OBJID_CLIENT);
        EXPECT_EQ(client.roleAnswer, S_OK);
        EXPECT_EQ(client.role, ROLE_SYSTEM_CLIENT);
        EXPECT_EQ(client.name, form->caption());
    }
}

TEST_F(Win32Windows, TheSliderIsATrackbarMovedByTheUsersKeys)
{
    frmBoost& boost = windows->showBoost();
    const HWND slider = item(boost, "Slider1");
    ASSERT_TRUE(slider);
    char kind[64] = {};
    GetClassNameA(slider, kind, sizeof kind);
    EXPECT_STREQ(kind, TRACKBAR_CLASSA);
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0), 20000);
    EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), 56);

    const struct {
        WPARAM key;
        int value;
        const char* description;
    } moves[] = {
        {VK_RIGHT, 57, "57 Kilobytes per second Dial-Up Tandem/DSL/Satellite"},
        {VK_NEXT, 107, "107 Kilobytes per second Dial-Up Tandem/DSL/Satellite"},
        {VK_LEFT, 106, "106 Kilobytes per second Dial-Up Tandem/DSL/Satellite"},
        {VK_END, 20000, "20000 Kilobytes per second T1/T3"},
        {VK_PRIOR, 19950, "19950 Kilobytes per second T1/T3"},
        {VK_HOME, 0, "0 Kilobytes per second Dial-Up"},
    };
    for (const auto& move : moves) {
        SendMessageA(slider, WM_KEYDOWN, move.key, 0);
        SendMessageA(slider, WM_KEYUP, move.key, 0);
        pump();
        EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), move.value);
        EXPECT_EQ(text(item(boost, "Frame1")), "Select Connection Speed (" + std::to_string(move.value) + " Kbps)");
        EXPECT_EQ(text(item(boost, "SpdTxt")), move.description);
    }
}

TEST_F(Win32Windows, WizardPagesThroughTheRealControls)
{
    frmBoost& boost = windows->showBoost();
    ASSERT_TRUE(visible(window(boost)));
    EXPECT_FALSE(visible(item(boost, "cmdBack_0")));

    click(boost, "cmdNext_0");  // with "YES": the backup page
    EXPECT_TRUE(visible(item(boost, "lblInformation_1")));
    EXPECT_EQ(text(item(boost, "lblBackingUp_0")), "Saving settings to file: Backup.nbf");
    EXPECT_EQ(text(item(boost, "lblSetting_0")), "Complete");
    std::ifstream marker(folder / "Backup" / "Backup.nbf", std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(marker)), {});
    EXPECT_EQ(written.size(), 69u);

    click(boost, "cmdBack_0");
    // "NO" chosen in the list, as a user's choice notifies it.
    const HWND answer = item(boost, "cmbConfirm_0");
    SendMessageA(answer, CB_SETCURSEL, 1, 0);
    SendMessageA(GetParent(answer), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(answer), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(answer));
    click(boost, "cmdNext_0");
    EXPECT_TRUE(visible(item(boost, "lblInformation_2")));
    EXPECT_FALSE(visible(item(boost, "lblInformation_1")));
    click(boost, "cmdBack_0");
    EXPECT_TRUE(visible(item(boost, "lblInformation_0")));
    EXPECT_EQ(text(answer), "YES");
}

TEST_F(Win32Windows, ClosingTheWizardShowsTheNoticeAndTheWindowGoes)
{
    frmBoost& boost = windows->showBoost();
    const HWND wizard = window(boost);
    SendMessageA(wizard, WM_CLOSE, 0, 0);
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].text, "Setup was not completed.");
    EXPECT_EQ(os.boxes[0].owner, &boost);
    EXPECT_TRUE(pumpUntil([&] { return !IsWindow(wizard); }, 2000));
    EXPECT_EQ(windows->boost(), nullptr);
}

TEST_F(Win32Windows, PrintAddressHandsOverTheUsersSelection)
{
    windows->showMain();
    frmAbout& about = windows->showAbout();
    const HWND address = item(about, "RichTextBox1");
    const std::string shown = text(address);
    // The second line, selected with the mouse or the keys.
    const std::size_t second = shown.find("\r\n") + 2;
    const std::size_t end = shown.find("\r\n", second);
    SendMessageA(address, EM_SETSEL, second, end);
    click(about, "Command1");
    ASSERT_EQ(os.printedTexts.size(), 1u);
    EXPECT_TRUE(os.lastDialogHadSelection);
    EXPECT_EQ(os.printedTexts[0], shown.substr(second, end - second));

    SendMessageA(address, EM_SETSEL, 0, 0);
    click(about, "Command1");
    ASSERT_EQ(os.printedTexts.size(), 2u);
    EXPECT_FALSE(os.lastDialogHadSelection);
    EXPECT_EQ(os.printedTexts[1], about.definition().find("RichTextBox1")->caption);
}

TEST_F(Win32Windows, MainWindowHintsFollowTheMouseAndMenusOpenTheirWindows)
{
    frmMain& main = windows->showMain();
    SendMessageA(item(main, "cmdExit"), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(text(item(main, "Label1")), "Exit program without any changes to your system.");
    SendMessageA(window(main), WM_COMMAND, MAKEWPARAM(Win32View::controlId(main.definition(), "Nice"), 0), 0);
    pump();
    ASSERT_TRUE(windows->about());
    EXPECT_TRUE(visible(window(*windows->about())));
    EXPECT_FALSE(visible(window(main)));
    click(*windows->about(), "cmdOK");
    EXPECT_TRUE(visible(window(main)));
}

// A form's tips live in one tips window it owns, made at its first tip: the
// splash, with none, has none.
TEST_F(Win32Windows, TipsLiveInATipsWindowOwnedByTheirForm)
{
    const auto tipsOf = [](HWND form) {
        for (HWND tips = nullptr; (tips = FindWindowExA(nullptr, tips, TOOLTIPS_CLASSA, nullptr));)
            if (GetWindow(tips, GW_OWNER) == form)
                return tips;
        return HWND{};
    };
    frmMain& main = windows->showMain();
    const HWND tips = tipsOf(window(main));
    ASSERT_TRUE(tips);
    char text[128] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window(main);
    tool.uId = reinterpret_cast<UINT_PTR>(item(main, "cmdExit"));
    tool.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Exit program with no changes.");
    EXPECT_FALSE(tipsOf(window(windows->showSplash())));
}

TEST_F(Win32Windows, TheSplashHandsOverToTheMainWindowByItsTimer)
{
    frmSplash& splash = windows->showSplash();
    EXPECT_TRUE(visible(window(splash)));
    ASSERT_TRUE(pumpUntil([&] { return windows->main() && visible(window(*windows->main())); }, 3000));
    EXPECT_FALSE(visible(window(splash)));
}

TEST_F(Win32Windows, TheSpeedTestLinkHasItsCursorAndOpensThePage)
{
    frmBoost& boost = windows->showBoost();
    const HWND link = item(boost, "Label1");
    ASSERT_TRUE(link);
    const auto cursor = static_cast<HCURSOR>(LoadImageA(GetModuleHandleA(nullptr), "LINK", IMAGE_CURSOR, 0, 0,
                                                        LR_DEFAULTSIZE | LR_SHARED));
    ASSERT_TRUE(cursor);
    SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), cursor);
    // A click on the label, inside the speed frame.
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    pump();
    ASSERT_EQ(os.openedUrls.size(), 1u);
    EXPECT_EQ(os.openedUrls[0], frmBoost::kSpeedTestUrl);
}

TEST_F(Win32Windows, TheSplashGoesOnACharacterKeyOrAClickOnItsPanelOnly)
{
    frmSplash& splash = windows->showSplash();
    const HWND panel = item(splash, "Frame1");
    // Not on a function key, nor on a click on a label.
    PostMessageA(window(splash), WM_KEYDOWN, VK_F1, 0);
    const HWND label = item(splash, "lblProductName");
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    pump();
    EXPECT_EQ(windows->splash(), &splash);
    SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    pump();
    EXPECT_EQ(windows->splash(), nullptr);

    frmSplash& again = windows->showSplash();
    PostMessageA(window(again), WM_CHAR, 'x', 0);
    pump();
    EXPECT_EQ(windows->splash(), nullptr);
}

TEST_F(Win32Windows, TabFollowsTheTabOrderIntoTheSpeedFrame)
{
    frmBoost& boost = windows->showBoost();
    click(boost, "cmdNext_0");  // the backup page: Back and Next shown
    const HWND back = item(boost, "cmdBack_0");
    SetFocus(back);
    ASSERT_EQ(GetFocus(), back);
    for (const char* next : {"cmdNext_0", "Slider1"}) {
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        pump();
        EXPECT_EQ(GetFocus(), item(boost, next)) << next;
    }
}

TEST_F(Win32Windows, AnAccessKeyPressesItsButton)
{
    windows->showMain();
    frmAbout& about = windows->showAbout();
    // Alt+S: "&System Info..."; the registry in memory knows no tool.
    PostMessageA(item(about, "cmdOK"), WM_SYSCHAR, 's', 1 << 29);
    pump();
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(os.boxes[0].owner, &about);
}

TEST_F(Win32Windows, TheMakersNoticeIsPaintedYellowOnGrey)
{
    // The pixels the frame paints itself (its caption and border, not the
    // logo inside it), read back from a bitmap it was asked to print into.
    const HWND frame = item(windows->showMain(), "Frame1");
    RECT area{};
    ASSERT_TRUE(frame && GetClientRect(frame, &area));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), area.right, -area.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(dc && bitmap);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    // As on the screen: the background erased, then the rest painted.
    SendMessageA(frame, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(frame, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    int yellow = 0, grey = 0, dark = 0;
    const auto* pixel = static_cast<const std::uint32_t*>(bits);  // 0x00RRGGBB
    for (LONG i = 0; i < area.right * area.bottom; ++i) {
        const unsigned r = (pixel[i] >> 16) & 0xFF, g = (pixel[i] >> 8) & 0xFF, b = pixel[i] & 0xFF;
        yellow += r > 0xC0 && g > 0xC0 && b < 0x40;
        grey += pixel[i] == 0x808080;
        dark += r < 0x40 && g < 0x40 && b < 0x40;
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EXPECT_GT(yellow, 30);  // the caption's strokes
    EXPECT_GT(grey, area.right * area.bottom / 2);
    EXPECT_EQ(dark, 0);
}

}  // namespace
}  // namespace ferro::win32::testing
