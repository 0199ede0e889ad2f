// What ferrowinder.exe carries and what its windows run on: its resources
// and manifest, read from the program file, and the common controls of
// version 6 that the manifest asks for (this test program has the same).
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "info/Branding.h"
#include "ui/win32/WinText.h"
#include "windows/ProgramImage.h"

namespace ferro::win32 {
namespace {

TEST(Program, CarriesItsIconPicturesCursorVersionAndManifest)
{
    const test::ProgramImage program(FERRO_GUI_PATH);
    ASSERT_TRUE(program.loaded()) << FERRO_GUI_PATH;
    EXPECT_FALSE(program.resource(RT_GROUP_ICON, "IDI_ICON1").empty());
    EXPECT_FALSE(program.resource(RT_BITMAP, "LOGO").empty());
    EXPECT_FALSE(program.resource(RT_GROUP_CURSOR, "LINK").empty());
    EXPECT_FALSE(program.resource(RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO)).empty());
    const std::string manifest = program.resource(RT_MANIFEST, MAKEINTRESOURCEA(1));
    for (const char* part : {"requireAdministrator", "Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             "PerMonitorV2", "<longPathAware", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}" /* Windows 7 */,
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" /* Windows 10 and 11 */})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

// One string of the version resource's US English, Windows-1252 table.
std::wstring versionString(const wchar_t* name)
{
    const std::wstring file = toWide(FERRO_GUI_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    std::string block(size, '\0');
    void* text = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), (std::wstring(L"\\StringFileInfo\\040904E4\\") + name).c_str(), &text,
                        &length) || length == 0)
        return {};
    return static_cast<const wchar_t*>(text);
}

// Windows shows these in the file's properties: the maker of the splash.
TEST(Program, VersionResourceNamesTheMakerAndItsCopyright)
{
    EXPECT_EQ(versionString(L"CompanyName"), L"Hollowmere");
    EXPECT_EQ(versionString(L"LegalCopyright"), toWide(kCopyrightLine));
}

TEST(Program, TheWindowsUseTheCommonControlsOfVersion6)
{
    // Wine's version 6 still reports 5.81: a message only version 6 knows tells.
    const HWND button = CreateWindowExA(0, "BUTTON", "Boost Connection", WS_POPUP | BS_PUSHBUTTON, 0, 0, 100,
                                        30, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(button);
    SIZE ideal{};
    EXPECT_TRUE(SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);
    DestroyWindow(button);
}

}  // namespace
}  // namespace ferro::win32
