// What ferrowinder-cli.exe carries on Windows: its version resource, icon
// and manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "cli/Commands.h"
#include "windows/ProgramImage.h"

namespace ferro {
namespace {

// One string of the version resource's US English, Windows-1252 table.
std::string versionString(const std::string& name)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(FERRO_CLI_PATH, &ignored);
    if (size == 0)
        return {};
    std::string block(size, '\0');
    if (!GetFileVersionInfoA(FERRO_CLI_PATH, 0, size, block.data()))
        return {};
    void* text = nullptr;
    UINT length = 0;
    const std::string query = "\\StringFileInfo\\040904E4\\" + name;
    if (!VerQueryValueA(block.data(), query.c_str(), &text, &length) || length == 0)
        return {};
    return static_cast<const char*>(text);
}

TEST(CliResources, VersionResourceNamesTheProgramAndItsVersion)
{
    EXPECT_EQ(versionString("ProductName"), "FerroWinder");
    EXPECT_EQ(versionString("ProductVersion"), FERRO_VERSION);
    EXPECT_EQ(versionString("FileVersion"), FERRO_VERSION);
    EXPECT_EQ(versionString("OriginalFilename"), "ferrowinder-cli.exe");
    EXPECT_FALSE(versionString("FileDescription").empty());
}

TEST(CliResources, IconAndManifestAreEmbedded)
{
    const test::ProgramImage image(FERRO_CLI_PATH);
    ASSERT_TRUE(image.loaded()) << FERRO_CLI_PATH;
    EXPECT_TRUE(image.hasIconGroup());

    // The manifest Windows reads when it starts the program (resource 1).
    const std::string manifest = image.resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    ASSERT_FALSE(manifest.empty());
    // A command-line tool runs with the rights of whoever starts it.
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
    // Windows 7, 8, 8.1 and 10/11, each by its GUID.
    for (const char* os : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(os), std::string::npos) << os;
}

// Output that cannot be delivered is no success: with the reader of its
// standard output gone, the tool says so on standard error and exits as
// failed.
TEST(CliOutput, AnExportWhoseOutputIsCutOffFailsAndSaysWhy)
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE reader = nullptr, writer = nullptr;
    ASSERT_TRUE(CreatePipe(&reader, &writer, &inherited, 0));
    CloseHandle(reader);
    char folder[MAX_PATH], errors[MAX_PATH];
    ASSERT_TRUE(GetTempPathA(MAX_PATH, folder) && GetTempFileNameA(folder, "err", 0, errors));
    const HANDLE errorFile = CreateFileA(errors, GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(errorFile, INVALID_HANDLE_VALUE);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer;
    startup.hStdError = errorFile;
    PROCESS_INFORMATION process{};
    std::string command = std::string("\"") + FERRO_CLI_PATH + "\" export --speed 3500";
    ASSERT_TRUE(CreateProcessA(FERRO_CLI_PATH, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(writer);
    CloseHandle(errorFile);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(code, static_cast<DWORD>(kExitFailed));

    std::string said(4096, '\0');
    const HANDLE read = CreateFileA(errors, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    ReadFile(read, said.data(), static_cast<DWORD>(said.size()), &got, nullptr);
    CloseHandle(read);
    DeleteFileA(errors);
    said.resize(got);
    EXPECT_NE(said.find("cannot write to standard output"), std::string::npos) << said;
}

}  // namespace
}  // namespace ferro
