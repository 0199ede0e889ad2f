// The About window: its texts, OK, the system information tool and printing
// the address.
#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "ui/WindowTest.h"

namespace ferro::test {
namespace {

const char* const kFirstKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const kSecondKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char* const kUnavailable = "System Information Is Unavailable At This Time";
const char* const kAddress = "Hollowmere\nP.O. Box 482\nWrenfield\nWR4 2RD";

using Paths = std::vector<std::string>;

class AboutTest : public WindowTest {
protected:
    frmAbout& openAbout()
    {
        click(windows->showMain(), "Nice");
        return *windows->about();
    }

    void storeString(const char* key, const char* name, const std::string& text, bool withNul = true)
    {
        Bytes data(text.begin(), text.end());
        if (withNul)
            data.push_back(0);
        ASSERT_EQ(writeValue(store, {RootKey::LocalMachine, key, name}, kRegSz, data), kStatusOk);
    }

    void clickSystemInfo()
    {
        click(windows->about() ? *windows->about() : openAbout(), "cmdSysInfo");
    }

    void expectUnavailable()
    {
        ASSERT_EQ(os.boxes.size(), 1u);
        EXPECT_EQ(os.boxes[0].text, kUnavailable);
        EXPECT_EQ(os.boxes[0].caption, "FerroWinder");
        EXPECT_EQ(os.boxes[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(os.boxes[0].icon, MsgIcon::None);
    }

    static std::string toolIn(const std::string& folder)
    {
#ifdef _WIN32
        return folder + "\\MSINFO32.EXE";
#else
        return folder + "/MSINFO32.EXE";
#endif
    }
};

TEST_F(AboutTest, ShowsTheDonationRequestAndAddressAndHidesTheMainWindow)
{
    frmAbout& about = openAbout();
    EXPECT_EQ(about.caption(), "About FerroWind");
    EXPECT_EQ(text(about, "lblTitle"),
              "You nice people who realize that programming takes a great deal of time and effort, and wish "
              "to send a small/large donation in appreciation of boosted internet speed may send said "
              "donation, or even a post card to:");
    EXPECT_EQ(text(about, "RichTextBox1"), kAddress);
    EXPECT_EQ(text(about, "cmdOK"), "OK");
    EXPECT_EQ(text(about, "cmdSysInfo"), "&System Info...");
    EXPECT_EQ(text(about, "Command1"), "Print Address");
    EXPECT_FALSE(shown(windows->main()));
}

TEST_F(AboutTest, LoadingHidesTheMainWindowWhoeverOpensIt)
{
    frmMain& main = windows->showMain();
    windows->showAbout();
    EXPECT_FALSE(shown(&main));
}

TEST_F(AboutTest, SystemInfoStartsTheToolNamedByTheFirstKeyWithoutCheckingIt)
{
    storeString(kFirstKey, "PATH", "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe");
    storeString(kSecondKey, "MSINFO", "C:\\Elsewhere");
    clickSystemInfo();
    EXPECT_EQ(os.startedPrograms, Paths{"C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe"});
    EXPECT_TRUE(os.boxes.empty());
}

TEST_F(AboutTest, SystemInfoThatCannotStartSaysSo)
{
    storeString(kFirstKey, "PATH", "/nowhere/msinfo32");
    os.startSucceeds = false;
    clickSystemInfo();
    EXPECT_EQ(os.startedPrograms, Paths{"/nowhere/msinfo32"});
    expectUnavailable();
}

TEST_F(AboutTest, SystemInfoFromTheSecondKeyNeedsTheToolInItsFolder)
{
    const std::string tools = folder() + "/MSInfo";
    storeString(kSecondKey, "MSINFO", tools);
    clickSystemInfo();
    EXPECT_TRUE(os.startedPrograms.empty());
    expectUnavailable();

    os.boxes.clear();
    os.existingFiles.insert(toolIn(tools));
    clickSystemInfo();
    EXPECT_EQ(os.startedPrograms, Paths{toolIn(tools)});
    EXPECT_TRUE(os.boxes.empty());
}

TEST_F(AboutTest, SystemInfoDropsOneStoredNulAndNothingElse)
{
    storeString(kFirstKey, "PATH", "/opt/tool", /*withNul=*/false);
    clickSystemInfo();
    storeString(kFirstKey, "PATH", std::string("/opt/tool") + '\0', /*withNul=*/true);
    clickSystemInfo();
    EXPECT_EQ(os.startedPrograms, (Paths{"/opt/tool", std::string("/opt/tool") + '\0'}));
}

TEST_F(AboutTest, SystemInfoIsUnavailableWithoutEitherKeyOrWithAnEmptyValue)
{
    clickSystemInfo();
    expectUnavailable();

    os.boxes.clear();
    ASSERT_EQ(writeValue(store, {RootKey::LocalMachine, kFirstKey, "PATH"}, kRegSz, {}), kStatusOk);
    clickSystemInfo();
    EXPECT_TRUE(os.startedPrograms.empty());
    expectUnavailable();
}

// Only a dialog the user did not get through says "Dialog Cancelled"; an
// error while printing what the user accepted is ignored silently.
TEST_F(AboutTest, ACancelledPrintDialogSaysSoAndAFailedPrintoutSaysNothing)
{
    frmAbout& about = openAbout();
    for (auto answer : {OsServices::PrintResult::Cancelled, OsServices::PrintResult::Failed}) {
        os.boxes.clear();
        os.printAnswer = answer;
        click(about, "Command1");
        EXPECT_TRUE(os.printedTexts.empty());
        if (answer == OsServices::PrintResult::Failed) {
            EXPECT_TRUE(os.boxes.empty());
            continue;
        }
        ASSERT_EQ(os.boxes.size(), 1u);
        EXPECT_EQ(os.boxes[0].text, "Dialog Cancelled");
        EXPECT_EQ(os.boxes[0].caption, "FerroWinder");
        EXPECT_EQ(os.boxes[0].icon, MsgIcon::None);
    }
}

TEST_F(AboutTest, PrintsTheWholeAddressOrTheSelection)
{
    frmAbout& about = openAbout();
    click(about, "Command1");
    EXPECT_FALSE(os.lastDialogHadSelection);

    about.userSetSelection("RichTextBox1", 0, 10);
    click(about, "Command1");
    EXPECT_TRUE(os.lastDialogHadSelection);

    EXPECT_EQ(os.printedTexts, (Paths{kAddress, "Hollowmere"}));
    EXPECT_TRUE(os.boxes.empty());
}

TEST_F(AboutTest, OkOrTheTitleBarBringsTheMainWindowBackAndUnloads)
{
    for (bool ok : {true, false}) {
        frmAbout& about = openAbout();
        if (ok)
            click(about, "cmdOK");
        else
            closeFromTitleBar(about);
        EXPECT_EQ(windows->about(), nullptr);
        EXPECT_TRUE(shown(windows->main()));
        finishEvents();
        EXPECT_EQ(renderer.liveViews(), 1);
    }
}

}  // namespace
}  // namespace ferro::test
