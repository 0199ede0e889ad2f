// The Windows OS services against the real system calls; every modal box is
// answered by ModalBoxes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/WideText.h"
#include "ui/win32/Win32OsServices.h"
#include "win32/ModalBoxes.h"

namespace ferro::win32 {
namespace {

namespace fs = std::filesystem;
using testing::ModalBoxes;

// A top-level window standing in for a loaded form's window.
class OwnerWindow {
public:
    OwnerWindow()
        : window_(CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                  nullptr, nullptr, nullptr, nullptr))
    {
    }
    ~OwnerWindow() { DestroyWindow(window_); }
    HWND handle() const { return window_; }
    // The form it stands for: only its address is used.
    const ui::Form* form() const { return reinterpret_cast<const ui::Form*>(this); }

private:
    HWND window_;
};

struct BoxCase {
    const char* name;
    MsgButtons buttons;
    MsgIcon icon;
    MsgAnswer defaultAnswer;
    int pressed;
    std::vector<int> expectedButtons;
    int expectedDefault;
    bool expectedIcon;
    MsgAnswer expectedAnswer;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const BoxCase& c, std::ostream* out) { *out << c.name; }

class MessageBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxTest, ShowsTheButtonsIconAndCaptionOwnedByTheFormsWindow)
{
    const BoxCase& c = GetParam();
    OwnerWindow owner;
    ASSERT_TRUE(owner.handle());
    Win32OsServices os([&](const ui::Form* form) { return form == owner.form() ? owner.handle() : nullptr; });
    ModalBoxes boxes(c.pressed);

    const MsgAnswer answer = os.messageBox(owner.form(), "Setup was not completed.", "FerroWinder",
                                           c.buttons, c.icon, c.defaultAnswer);

    ASSERT_EQ(boxes.seen().size(), 1u);
    const auto& box = boxes.seen().front();
    EXPECT_EQ(box.caption, "FerroWinder");
    EXPECT_EQ(box.text, "Setup was not completed.");
    EXPECT_EQ(box.owner, owner.handle());
    EXPECT_EQ(box.buttons, c.expectedButtons);
    EXPECT_EQ(box.defaultButton, c.expectedDefault);
    EXPECT_EQ(box.hasIcon, c.expectedIcon);
    EXPECT_EQ(answer, c.expectedAnswer);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, MessageBoxTest,
    ::testing::Values(
        BoxCase{"OkNoIcon", MsgButtons::Ok, MsgIcon::None, MsgAnswer::Ok, IDOK, {IDOK}, IDOK, false, MsgAnswer::Ok},
        BoxCase{"OkInformation", MsgButtons::Ok, MsgIcon::Information, MsgAnswer::Ok, IDOK, {IDOK}, IDOK, true,
                MsgAnswer::Ok},
        BoxCase{"YesNoYesDefault", MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes, IDYES, {IDYES, IDNO},
                IDYES, false, MsgAnswer::Yes},
        BoxCase{"YesNoNoDefault", MsgButtons::YesNo, MsgIcon::None, MsgAnswer::No, IDNO, {IDYES, IDNO}, IDNO,
                false, MsgAnswer::No}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Win32OsServices, ABoxWithoutOwnerIsShownAndAnswered)
{
    Win32OsServices os;
    ModalBoxes boxes(IDYES);
    EXPECT_EQ(os.messageBox(nullptr, "Are you sure?", "FerroWinder", MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes),
              MsgAnswer::Yes);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen().front().owner, nullptr);
}

class FileCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / "ferro file check";
        fs::remove_all(folder);
        fs::create_directories(folder / "MSINFO32.EXE");
        std::ofstream(folder / "program.exe") << "MZ";
    }
    void TearDown() override
    {
        // A program started from the folder may still be running for a moment.
        std::error_code ec;
        for (int attempt = 0; attempt < 50 && (fs::remove_all(folder, ec), ec); ++attempt)
            Sleep(100);
        EXPECT_FALSE(ec) << ec.message();
    }
    fs::path folder;
};

TEST_F(FileCheckTest, OnlyAnExistingFileOfExactlyThatNameCounts)
{
    Win32OsServices os;
    const struct {
        std::string path;
        bool exists;
    } cases[] = {
        {(folder / "program.exe").string(), true},
        {(folder / "PROGRAM.EXE").string(), true},  // Windows names ignore case
        {(folder / "MSINFO32.EXE").string(), false},  // a folder of that name
        {(folder / "missing.exe").string(), false},
        {(folder / "*.exe").string(), false},  // no wildcards
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(os.fileExists(c.path), c.exists) << c.path;
}

TEST_F(FileCheckTest, StartsAProgramByItsPathAndNothingThatIsNoProgram)
{
    Win32OsServices os;
    // A path with blanks: a program named only by a command line would be
    // looked for as "ferro" first.
    const fs::path program = folder / "ferrowinder-cli.exe";
    fs::copy_file(FERRO_CLI_PATH, program);
    EXPECT_TRUE(os.startProgram(program.string()));
    EXPECT_FALSE(os.startProgram((folder / "missing.exe").string()));
    EXPECT_FALSE(os.startProgram((folder / "MSINFO32.EXE").string()));
    EXPECT_FALSE(os.startProgram((folder / "program.exe").string()));  // not an executable image
}

}  // namespace
}  // namespace ferro::win32

namespace ferro::win32 {
namespace {

// Wine has no printer here: its Print dialog says so in a box of its own.
// Nothing may be reported as printed.
TEST(Win32OsServicesPrint, WithoutAPrinterNothingIsReportedPrinted)
{
    OwnerWindow owner;
    Win32OsServices os([&](const ui::Form*) { return owner.handle(); });
    ModalBoxes boxes(IDCANCEL);
    EXPECT_NE(os.printText(owner.form(), "Address\nLine 2", "Line"), OsServices::PrintResult::Printed);
    EXPECT_FALSE(boxes.seen().empty());
}

}  // namespace
}  // namespace ferro::win32

namespace ferro::win32 {
namespace {

// A folder named in UTF-8 by the windows, or in the ANSI code page as a path
// read from the registry comes: both name the same file.
TEST_F(FileCheckTest, AFileNamedInUtf8OrInTheAnsiCodePageIsFound)
{
    Win32OsServices os;
    const fs::path named = folder / fs::path(L"caf\u00e9.exe");
    std::ofstream(named) << "MZ";
    const std::string utf8 = (folder.string() + "\\caf\xc3\xa9.exe");
    const std::string ansi = (folder.string() + "\\caf\xe9.exe");  // Windows-1252
    EXPECT_TRUE(os.fileExists(utf8));
    if (GetACP() == 1252) {
        EXPECT_TRUE(os.fileExists(ansi));
    }
}

}  // namespace
}  // namespace ferro::win32

namespace ferro::win32 {
namespace {

// A box must be answered before anything else of the program is used: while
// one form's box is up, the other forms are disabled too, and afterwards all
// are enabled again.
TEST(Win32OsServices, ABoxDisablesEveryOtherWindowOfTheProgramWhileUp)
{
    OwnerWindow owner, other;
    ShowWindow(owner.handle(), SW_SHOWNA);
    ShowWindow(other.handle(), SW_SHOWNA);
    Win32OsServices os([&](const ui::Form*) { return owner.handle(); });
    ModalBoxes boxes(IDOK);
    os.messageBox(owner.form(), "Setup was not completed.", "FerroWinder", MsgButtons::Ok, MsgIcon::None,
                  MsgAnswer::Ok);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].enabledOthers, std::vector<HWND>{});
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
    EXPECT_TRUE(IsWindowEnabled(other.handle()));
}

// The link is opened through the desktop's shell where there is one, else
// directly; either way, and whether or not the thread has COM set up
// already, the target opens, also from a folder that the ANSI code page
// cannot name. A command file stands in for
// the browser. Its folder is left behind: the command may still hold it, and
// removing a folder in use can hang under Wine.
TEST(Win32OsServicesLink, TheLinkOpensItsTargetNamedInAnyLanguage)
{
    const fs::path place = fs::temp_directory_path() / ("ferro link " + std::to_string(GetCurrentProcessId())) /
                           fs::path(L"\u0422\u0435\u0441\u0442");
    fs::create_directories(place);
    for (const bool com : {true, false}) {
        const std::string name = com ? "shell" : "direct";
        const fs::path opened = place / (name + ".txt");
        std::ofstream(place / (name + ".cmd")) << "@echo opened> \"%~dp0" << name << ".txt\"\r\n";
        const bool initialized = com && SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        Win32OsServices().openUrl(utf8FromWide((place / (name + ".cmd")).wstring()));
        for (int waited = 0; waited < 300 && !fs::exists(opened); ++waited)
            Sleep(50);
        EXPECT_TRUE(fs::exists(opened)) << (com ? "through the shell" : "directly");
        if (initialized)
            CoUninitialize();
    }
}

}  // namespace
}  // namespace ferro::win32
