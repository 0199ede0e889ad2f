#pragma once
// Text between the windows' UTF-8 and the Win32 "A" calls, which take the
// system's ANSI code page. Text that is no valid UTF-8 is taken as ANSI
// already (the registry layer reads single-byte text).
#include <string>

namespace ferro::win32 {

std::string toAnsi(const std::string& utf8);
std::string fromAnsi(const std::string& ansi);
std::wstring toWide(const std::string& utf8);
// UTF-8 of text in UTF-8 or ANSI, for the calls of platform/WindowsCalls.h.
std::string toUtf8(const std::string& utf8OrAnsi);

}  // namespace ferro::win32
