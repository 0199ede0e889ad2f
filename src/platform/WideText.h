#pragma once
// Windows only: text between the program's UTF-8 and the system's UTF-16, and
// file paths for the wide ("W") file calls, so that any folder name works.
#include <string>

namespace ferro::win32 {

// `text` in code page `codePage`; empty when it cannot be converted (with
// MB_ERR_INVALID_CHARS in `flags`, when it is not valid in that code page).
std::wstring widen(const std::string& text, unsigned codePage, unsigned long flags = 0);
std::string narrow(const std::wstring& wide, unsigned codePage);

std::wstring wideFromUtf8(const std::string& utf8);
std::string utf8FromWide(const std::wstring& wide);

// A UTF-8 path as the wide file calls take it. A path too long for MAX_PATH
// is made absolute and given the "\\?\" prefix, which lifts the limit on every
// Windows (longPathAware alone needs a system setting as well).
std::wstring widePath(const std::string& utf8);

// The words Windows gives for an error code, in the user's language, and the
// code: "Access is denied (5)".
std::string errorText(unsigned long error);

}  // namespace ferro::win32
