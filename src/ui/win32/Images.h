#pragma once
// The pictures a form definition names, from the program's resources: the
// program's icon ("ferrowinder.png" in the definitions), and bitmaps with an
// alpha channel named by the file's stem ("logo.png" is the bitmap LOGO).
#include <windows.h>

#include <string>

namespace ferro::win32 {

class Picture {
public:
    Picture(HINSTANCE instance, const std::string& image);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool loaded() const { return icon_ || bitmap_; }
    // The picture's own size at `dpi` (an icon counts as 32 x 32 at 96 dpi).
    SIZE size(int dpi) const;
    // Draws the picture at its own size in the top-left corner of `box`, or
    // stretched over all of it, blending its transparent parts.
    bool draw(HDC dc, const RECT& box, bool stretch, int dpi) const;

    // Where no AlphaBlend is found, draw() blends by hand; tests take that
    // road where AlphaBlend is there.
    static void setAlphaBlendForTesting(bool use);

private:
    HINSTANCE instance_;
    std::string iconName_;
    mutable HICON icon_ = nullptr;
    mutable SIZE iconSize_{};
    HBITMAP bitmap_ = nullptr;  // 32 bits, premultiplied alpha
    const BYTE* bits_ = nullptr;  // its pixels, top-down
    SIZE bitmapSize_{};
};

// The cursor resource of a definition's cursor name ("link" is LINK), or nullptr.
HCURSOR loadCursor(HINSTANCE instance, const std::string& name);

}  // namespace ferro::win32
