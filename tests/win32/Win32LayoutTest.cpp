// Nothing clipped: every control lies inside its parent, and each text fits
// its control, measured with the control's own font at the system's dpi.
// scripts/test-windows runs this once more at 144 dpi.
#include <windows.h>

#include <cstdio>

#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "info/frmSplash.h"
#include "ui/win32/Win32View.h"
#include "ui/win32/WinText.h"
#include "win32/Win32Windows.h"
#include "wizard/frmBoost.h"

namespace ferro::win32::testing {
namespace {

SIZE measure(HWND control, const std::string& text, UINT format, int width)
{
    RECT box{0, 0, width, 0};
    const HDC dc = GetDC(control);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    const std::string ansi = toAnsi(text);
    DrawTextA(dc, ansi.c_str(), static_cast<int>(ansi.size()), &box, format | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return {box.right, box.bottom};
}

class Win32Layout : public Win32WindowTest {
protected:
    void expectNothingClipped(ui::Form& form)
    {
        SCOPED_TRACE(form.definition().name);
        for (const ui::ControlDef& def : form.definition().controls) {
            const HWND control = item(form, def.id());
            if (!control)
                continue;
            SCOPED_TRACE(def.id());
            RECT rect{}, parent{};
            GetWindowRect(control, &rect);
            MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
            GetClientRect(GetParent(control), &parent);
            EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= parent.right && rect.bottom <= parent.bottom)
                << "at " << rect.left << "," << rect.top << "-" << rect.right << "," << rect.bottom << " in "
                << parent.right << "x" << parent.bottom;
            const std::string caption = text(control);
            const int width = rect.right - rect.left, height = rect.bottom - rect.top;
            if (caption.empty())
                continue;
            switch (def.kind) {
            case ui::ControlKind::Label: {
                const SIZE need = measure(control, caption, def.autoSize ? DT_SINGLELINE : DT_WORDBREAK, width);
                EXPECT_LE(need.cx, width) << caption;
                EXPECT_LE(need.cy, height) << caption;
                break;
            }
            case ui::ControlKind::Button: {
                // Room for the button's frame and focus rectangle on each side.
                const SIZE need = measure(control, caption, DT_SINGLELINE, 0);
                EXPECT_LE(need.cx + 8, width) << caption;
                EXPECT_LE(need.cy + 6, height) << caption;
                break;
            }
            case ui::ControlKind::Frame:
                EXPECT_LE(measure(control, caption, DT_SINGLELINE, 0).cx + 16, width) << caption;
                break;
            case ui::ControlKind::TextBox: {
                RECT inside{};
                GetClientRect(control, &inside);
                const SIZE need = measure(control, caption, def.multiLine ? DT_WORDBREAK : DT_SINGLELINE,
                                          inside.right - 4);
                EXPECT_LE(need.cx + 4, inside.right) << caption;
                EXPECT_LE(need.cy, inside.bottom) << caption;
                break;
            }
            default:
                break;
            }
        }
    }
};

TEST_F(Win32Layout, NothingIsClippedInAnyWindowWithItsLongestTexts)
{
    frmMain& main = windows->showMain();
    const int dpi = renderer.view(&main)->dpi();
    std::printf("Layout at %d dpi\n", dpi);
    // The windows scale with the system's dpi: at 96 a twip is 1/15 pixel.
    RECT client{};
    GetClientRect(window(main), &client);
    EXPECT_EQ(client.right, MulDiv(main.definition().clientWidth, dpi, 1440));
    for (const char* hint : {"Proceed to next step (no changes yet).", "Restore registry from backup (if one was made).",
                             "Exit program without any changes to your system."}) {
        main.setCaption("Label1", hint);
        expectNothingClipped(main);
    }
    frmBoost& boost = windows->showBoost();
    expectNothingClipped(boost);  // the design-time texts of every page
    boost.setCaption("Frame1", "Select Connection Speed (20000 Kbps)");
    boost.setCaption("SpdTxt", "128 Kilobytes per second Dial-Up Tandem/DSL/Satellite");
    boost.setCaption("lblSetting_1", "Optimizing MaxConnectionsPer1_0Server");
    boost.setCaption("lblBackingUp_0", "Saving settings to file: Backup.nbf");
    boost.setCaption("cmdNext_0", "Finished");
    expectNothingClipped(boost);
    expectNothingClipped(windows->showAbout());
    expectNothingClipped(windows->showSplash());
}

}  // namespace
}  // namespace ferro::win32::testing
