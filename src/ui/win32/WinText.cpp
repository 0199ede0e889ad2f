#include "ui/win32/WinText.h"

#include <windows.h>

#include "platform/WideText.h"

namespace ferro::win32 {
namespace {

// UTF-8, or else text in the ANSI code page as the registry's "A" calls
// hand it over (a path read from the registry, say).
std::wstring fromUtf8OrAnsi(const std::string& text)
{
    std::wstring wide = widen(text, CP_UTF8, MB_ERR_INVALID_CHARS);
    return wide.empty() ? widen(text, CP_ACP) : wide;
}

// Plain ASCII reads the same in both encodings; most texts are.
bool isAscii(const std::string& text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

}  // namespace

std::string toAnsi(const std::string& utf8)
{
    return isAscii(utf8) ? utf8 : narrow(fromUtf8OrAnsi(utf8), CP_ACP);
}

std::string fromAnsi(const std::string& ansi)
{
    return isAscii(ansi) ? ansi : narrow(widen(ansi, CP_ACP), CP_UTF8);
}

std::wstring toWide(const std::string& utf8) { return fromUtf8OrAnsi(utf8); }

std::string toUtf8(const std::string& utf8OrAnsi)
{
    return isAscii(utf8OrAnsi) ? utf8OrAnsi : utf8FromWide(fromUtf8OrAnsi(utf8OrAnsi));
}

}  // namespace ferro::win32
