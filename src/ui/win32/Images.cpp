#include "ui/win32/Images.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/SystemFunction.h"

namespace ferro::win32 {
namespace {

// The program's icon in the version and icon resource (resources/ferrowinder.rc.in).
constexpr const char* kProgramIcon = "IDI_ICON1";

std::string resourceName(const std::string& file)
{
    std::string stem = file.substr(0, file.find('.'));
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return stem;
}

// A DIB section of 32 bits per pixel, its rows top-down in `bits`.
HBITMAP topDownBitmap(HDC dc, LONG width, LONG height, void*& bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// A bitmap resource with 32 bits per pixel as a DIB section with
// premultiplied alpha, ready for AlphaBlend; nullptr for any other kind.
HBITMAP loadAlphaBitmap(HINSTANCE instance, const std::string& name, SIZE& size, const BYTE*& pixels)
{
    const HRSRC found = FindResourceA(instance, name.c_str(), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    const HGLOBAL data = found ? LoadResource(instance, found) : nullptr;
    const auto* header = data ? static_cast<const BITMAPINFOHEADER*>(LockResource(data)) : nullptr;
    if (!header || SizeofResource(instance, found) < sizeof(BITMAPINFOHEADER) || header->biBitCount != 32 ||
        header->biWidth <= 0 || header->biHeight == 0)
        return nullptr;
    const LONG width = header->biWidth;
    const LONG height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    // The pixels follow the header, and the three colour masks that an old
    // 40-byte header with bit fields keeps outside it.
    std::size_t offset = header->biSize;
    if (header->biSize == sizeof(BITMAPINFOHEADER) && header->biCompression == BI_BITFIELDS)
        offset += 3 * sizeof(DWORD);
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (SizeofResource(instance, found) < offset + bytes)
        return nullptr;

    void* bits = nullptr;
    const HBITMAP bitmap = topDownBitmap(nullptr, width, height, bits);
    if (!bitmap)
        return nullptr;
    const auto* source = reinterpret_cast<const BYTE*>(header) + offset;
    auto* target = static_cast<BYTE*>(bits);
    for (LONG y = 0; y < height; ++y) {
        const LONG sourceRow = header->biHeight > 0 ? height - 1 - y : y;  // stored bottom-up
        const BYTE* in = source + static_cast<std::size_t>(sourceRow) * static_cast<std::size_t>(width) * 4;
        BYTE* out = target + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
        for (LONG x = 0; x < width; ++x, in += 4, out += 4) {
            const unsigned alpha = in[3];
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<BYTE>(in[c] * alpha / 255);
            out[3] = static_cast<BYTE>(alpha);
        }
    }
    size = {width, height};
    pixels = target;
    return bitmap;
}

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

bool useAlphaBlend = true;

// GDI32's own entry (2000 and later), else MSIMG32's (98 and later): that one
// is no KnownDLL, so it is loaded from the System folder only. nullptr on
// Windows 95 and NT 4.
AlphaBlendFunction alphaBlendFunction()
{
    static const AlphaBlendFunction found = [] {
        const auto gdi = loadedFunction<AlphaBlendFunction>("gdi32.dll", "GdiAlphaBlend");
        return gdi ? gdi : systemFunction<AlphaBlendFunction>("msimg32.dll", "AlphaBlend");
    }();
    return useAlphaBlend ? found : nullptr;
}

// What AlphaBlend does, without it: the premultiplied picture (`pixels`,
// top-down, `size`), stretched to `box` by taking the nearest pixel, over what
// `dc` shows there.
bool blendByHand(HDC dc, const RECT& box, const BYTE* pixels, SIZE size)
{
    const int width = box.right - box.left, height = box.bottom - box.top;
    if (!pixels || width <= 0 || height <= 0)
        return false;
    void* bits = nullptr;
    const HBITMAP backdrop = topDownBitmap(dc, width, height, bits);
    const HDC memory = backdrop ? CreateCompatibleDC(dc) : nullptr;
    if (!memory) {
        if (backdrop)
            DeleteObject(backdrop);
        return false;
    }
    const HGDIOBJ previous = SelectObject(memory, backdrop);
    bool drawn = BitBlt(memory, 0, 0, width, height, dc, box.left, box.top, SRCCOPY);
    GdiFlush();
    auto* out = static_cast<BYTE*>(bits);
    for (int y = 0; drawn && y < height; ++y) {
        const BYTE* row = pixels + static_cast<std::size_t>(y * size.cy / height) * size.cx * 4;
        for (int x = 0; x < width; ++x, out += 4) {
            const BYTE* in = row + static_cast<std::size_t>(x * size.cx / width) * 4;
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<BYTE>(in[c] + out[c] * (255 - in[3]) / 255);
        }
    }
    drawn = drawn && BitBlt(dc, box.left, box.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(backdrop);
    return drawn;
}

}  // namespace

void Picture::setAlphaBlendForTesting(bool use)
{
    useAlphaBlend = use;
}

Picture::Picture(HINSTANCE instance, const std::string& image) : instance_(instance)
{
    const std::string name = resourceName(image);
    if (name == "FERROWINDER")
        iconName_ = kProgramIcon;
    else
        bitmap_ = loadAlphaBitmap(instance, name, bitmapSize_, bits_);
}

Picture::~Picture()
{
    if (icon_)
        DestroyIcon(icon_);
    if (bitmap_)
        DeleteObject(bitmap_);
}

SIZE Picture::size(int dpi) const
{
    if (bitmap_)
        return {MulDiv(bitmapSize_.cx, dpi, 96), MulDiv(bitmapSize_.cy, dpi, 96)};
    const int side = MulDiv(32, dpi, 96);
    return {side, side};
}

bool Picture::draw(HDC dc, const RECT& box, bool stretch, int dpi) const
{
    const SIZE own = size(dpi);
    const int width = stretch ? box.right - box.left : own.cx;
    const int height = stretch ? box.bottom - box.top : own.cy;
    if (!iconName_.empty()) {
        // The icon's image of the size drawn, or above 48 pixels its largest
        // (256) scaled down: a small image scaled up looks blocky.
        const int side = std::max(width, height) > 48 ? 256 : std::max(width, height);
        if (!icon_ || iconSize_.cx != side) {
            if (icon_)
                DestroyIcon(icon_);
            icon_ = static_cast<HICON>(LoadImageA(instance_, iconName_.c_str(), IMAGE_ICON, side, side, 0));
            iconSize_ = {side, side};
        }
        SetStretchBltMode(dc, HALFTONE);
        return icon_ && DrawIconEx(dc, box.left, box.top, icon_, width, height, 0, nullptr, DI_NORMAL);
    }
    if (!bitmap_)
        return false;
    const AlphaBlendFunction alphaBlend = alphaBlendFunction();
    if (!alphaBlend)
        return blendByHand(dc, {box.left, box.top, box.left + width, box.top + height}, bits_, bitmapSize_);
    const HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return false;
    const HGDIOBJ previous = SelectObject(memory, bitmap_);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    SetStretchBltMode(dc, HALFTONE);
    const bool drawn = alphaBlend(dc, box.left, box.top, width, height, memory, 0, 0, bitmapSize_.cx,
                                  bitmapSize_.cy, blend);
    SelectObject(memory, previous);
    DeleteDC(memory);
    return drawn;
}

HCURSOR loadCursor(HINSTANCE instance, const std::string& name)
{
    if (name.empty())
        return nullptr;
    // Shared: loaded once, however often the mouse asks for it.
    return static_cast<HCURSOR>(
        LoadImageA(instance, resourceName(name).c_str(), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

}  // namespace ferro::win32
