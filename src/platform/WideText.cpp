#include "platform/WideText.h"

#include <windows.h>

#include "platform/WindowsCalls.h"

namespace ferro::win32 {

std::wstring widen(const std::string& text, unsigned codePage, unsigned long flags)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length) != length)
        return {};
    return wide;
}

std::string narrow(const std::wstring& wide, unsigned codePage)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, nullptr, nullptr) != length)
        return {};
    return text;
}

std::wstring wideFromUtf8(const std::string& utf8) { return widen(utf8, CP_UTF8); }

std::string utf8FromWide(const std::wstring& wide) { return narrow(wide, CP_UTF8); }

std::wstring widePath(const std::string& utf8)
{
    const std::wstring path = wideFromUtf8(utf8);
    // CreateDirectory's limit (room for an 8.3 name) is the lowest of the calls'.
    constexpr std::size_t kShortEnough = MAX_PATH - 12;
    if (path.size() < kShortEnough || path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    // The prefix turns off the system's clean-up of the name: do it first
    // (GetFullPathNameW itself takes long names).
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length)
        return path;
    full.resize(written);
    if (full.rfind(L"\\\\", 0) == 0)  // \\server\share\...
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::string errorText(unsigned long error)
{
    // Windows' own words, but for a name the ANSI road cannot hold: 95, 98 and
    // Me have no text for that code.
    std::string text;
    if (error == ERROR_NO_UNICODE_TRANSLATION) {
        text = "the name has characters that this Windows' code page (" + std::to_string(GetACP()) +
               ") cannot hold; use a folder whose name it can";
    } else if (wideRoad()) {
        wchar_t* buffer = nullptr;
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
            error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        text = length ? utf8FromWide(std::wstring(buffer, length)) : std::string();
        LocalFree(buffer);
    } else {
        char* buffer = nullptr;
        const DWORD length = FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
            error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
        text = length ? narrow(widen(std::string(buffer, length), CP_ACP), CP_UTF8) : std::string();
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == '.' || text.back() == ' '))
        text.pop_back();
    if (text.empty())
        text = "error";
    return text + " (" + std::to_string(error) + ")";
}

}  // namespace ferro::win32
