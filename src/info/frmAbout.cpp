#include "info/frmAbout.h"

#include <stdexcept>

#include "form/WindowHost.h"
#include "platform/OsServices.h"
#include "platform/Paths.h"

using namespace ferro;
using ui::Event;

namespace {

// A value that has no data at all cannot be read as text.
struct NoValueData : std::runtime_error {
    NoValueData() : std::runtime_error("the value has no data") {}
};

}  // namespace

frmAbout::frmAbout(WindowHost& windows) : Form(Design()), windows_(windows)
{
    on("cmdOK", Event::Click, [this](int) { cmdOK_Click(); });
    on("cmdSysInfo", Event::Click, [this](int) { cmdSysInfo_Click(); });
    on("Command1", Event::Click, [this](int) { Command1_Click(); });
    on("", Event::Close, [this](int) { Form_QueryUnload(); });
}

void frmAbout::Form_Load()
{
    if (ui::Form* main = windows_.mainWindow())
        windows_.hide(*main);
}

void frmAbout::cmdOK_Click()
{
    windows_.show(WindowId::Main);
    windows_.unload(*this);
}

void frmAbout::Form_QueryUnload()
{
    // Closed from the title bar: the main window comes back, as with OK, so
    // the program is never left without a visible window.
    cmdOK_Click();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    OsServices& os = windows_.context().os;
    try {
        std::string toolPath;
        if (!GetKeyValue(RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", toolPath)) {
            if (!GetKeyValue(RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                             toolPath))
                throw std::runtime_error("no tool path");
            const std::string tool = joinPath(toolPath, "MSINFO32.EXE");
            if (!os.fileExists(tool))
                throw std::runtime_error("no tool in the folder");
            toolPath = tool;
        }
        if (os.startProgram(toolPath))
            return;
    } catch (const std::exception&) {
        // Every failure ends in the one message below.
    }
    os.messageBox(this, "System Information Is Unavailable At This Time", kApplicationTitle,
                  MsgButtons::Ok, MsgIcon::None);
}

bool frmAbout::GetKeyValue(RootKey KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                           std::string& KeyVal)
{
    RegistryBackend& registry = windows_.context().registry;
    KeyGuard key(registry);
    if (registry.openKey(KeyRoot, KeyName, kKeyReadControlAccess, key.handle) != kStatusOk) {
        KeyVal.clear();
        return false;
    }
    std::uint32_t type = 0;
    Bytes data;
    if (registry.queryValue(key.handle, SubKeyRef, type, data) != kStatusOk) {
        KeyVal.clear();
        return false;
    }
    if (data.empty())
        throw NoValueData();
    // One terminating NUL is dropped when the data has one.
    const std::size_t length = data.back() == 0 ? data.size() - 1 : data.size();
    if (type == kRegSz) {
        KeyVal.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
    } else if (type == kRegDword && data.size() == 4) {
        const std::uint32_t number = data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t(data[3]) << 24;
        KeyVal = std::to_string(number);
    }
    return true;
}

void frmAbout::Command1_Click()
{
    const ui::ControlState& address = state("RichTextBox1");
    const std::size_t start = std::min<std::size_t>(static_cast<std::size_t>(address.selStart),
                                                    address.caption.size());
    const std::string selection =
        address.caption.substr(start, static_cast<std::size_t>(address.selLength));
    OsServices& os = windows_.context().os;
    // Errors while printing are ignored: only a dialog the user did not get
    // through says so.
    if (os.printText(this, address.caption, selection) == OsServices::PrintResult::Cancelled)
        os.messageBox(this, "Dialog Cancelled", kApplicationTitle, MsgButtons::Ok, MsgIcon::None);
}
