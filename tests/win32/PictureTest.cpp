// The splash's picture where no AlphaBlend is found (Windows 95, NT 4, or an
// msimg32 that will not load): blended by hand over what is already there,
// as AlphaBlend would, never drawn as a black box.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "ui/win32/Images.h"

namespace ferro::win32 {
namespace {

// The picture drawn at its own size into a 32-bit surface painted `backdrop`
// first: the surface's pixels, top-down, blue-green-red-unused.
std::vector<BYTE> drawnOver(const Picture& picture, COLORREF backdrop, SIZE size)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HBITMAP surface = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ previous = SelectObject(dc, surface);
    const RECT box{0, 0, size.cx, size.cy};
    const HBRUSH brush = CreateSolidBrush(backdrop);
    FillRect(dc, &box, brush);
    DeleteObject(brush);
    EXPECT_TRUE(picture.draw(dc, box, false, 96));
    GdiFlush();
    const auto* pixels = static_cast<const BYTE*>(bits);
    std::vector<BYTE> copy(pixels, pixels + static_cast<std::size_t>(size.cx) * size.cy * 4);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(surface);
    return copy;
}

TEST(Picture, WithoutAlphaBlendTheLogoIsBlendedByHandAsAlphaBlendWould)
{
    const Picture logo(GetModuleHandleA(nullptr), "logo.png");
    ASSERT_TRUE(logo.loaded());
    const SIZE size = logo.size(96);
    for (const COLORREF backdrop : {RGB(245, 245, 245), RGB(0, 0, 128)}) {
        const std::vector<BYTE> blended = drawnOver(logo, backdrop, size);
        Picture::setAlphaBlendForTesting(false);
        const std::vector<BYTE> byHand = drawnOver(logo, backdrop, size);
        Picture::setAlphaBlendForTesting(true);
        ASSERT_EQ(byHand.size(), blended.size());
        std::size_t backdropPixels = 0, differing = 0;
        for (std::size_t i = 0; i < byHand.size(); i += 4) {
            bool same = true;
            for (int c = 0; c < 3; ++c) {
                if (std::abs(byHand[i + c] - blended[i + c]) > 2)
                    same = false;
            }
            differing += same ? 0 : 1;
            backdropPixels += RGB(byHand[i + 2], byHand[i + 1], byHand[i]) == backdrop ? 1 : 0;
        }
        EXPECT_EQ(differing, 0u) << "of " << byHand.size() / 4 << " pixels";
        // The transparent parts show the backdrop, the picture the rest.
        EXPECT_GT(backdropPixels, 0u);
        EXPECT_LT(backdropPixels, byHand.size() / 4);
    }
}

}  // namespace
}  // namespace ferro::win32
