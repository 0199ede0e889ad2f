#include "tuning/Leftovers.h"

#include <algorithm>

#include "platform/BackupFolder.h"
#include "platform/Paths.h"
#include "platform/Wmi.h"
#include "tuning/Backup.h"

namespace ferro {
namespace {

const char* const kTcpip = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const char* const kMultimedia = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile";
const char* const kNetworkNamespace = "ROOT\\StandardCimv2";
const char* const kLeftoversName = "Leftovers.reg";

using V = LeftoverVerdict;
constexpr auto D = Confidence::Documented;
constexpr auto U = Confidence::Unconfirmed;
constexpr auto M = RootKey::LocalMachine;

LeftoverRow harmlessRow(const char* name, const char* keyPath, const char* effect, Confidence confidence,
                        const char* label, const char* sources, LeftoverVerdict (*judge)(std::uint32_t) = nullptr)
{
    return {name, LeftoverWhere::RegistryHarmless, M, keyPath, "never documented", effect, "absent",
            confidence, label, sources, "", std::nullopt, judge};
}

std::vector<LeftoverRow> makeRows()
{
    return {
        {"Receive-window autotuning level", LeftoverWhere::Autotuning, M, "",
         "disabled, highlyrestricted or restricted",
         "disabled: the receive window stays at its default, with no window scaling: at 10 ms round trip "
         "about 51 Mbit/s at most; highlyrestricted / restricted: scale factor 2 / 4, a window of about "
         "256 KB / 1 MB",
         "normal", D, "documented",
         "L1 netsh interface tcp (autotuninglevel); L2 MSFT_NetTCPSetting; L3 KB 224829 (the scale factors)",
         "netsh interface tcp set global autotuninglevel=normal", std::nullopt, nullptr},
        {"Tcp1323Opts", LeftoverWhere::Registry, M, kTcpip, "0 or 2 (window scaling off)",
         "without window scaling the receive window is at most 64 KB", "absent (window scaling and timestamps on)",
         D, "documented (KB 224829 applies to Windows 10); whether Windows 10/11 still read it: unconfirmed",
         "L3 KB 224829 \"Description of Windows TCP features\"", "", std::nullopt,
         [](std::uint32_t v) { return v == 0 || v == 2 ? V::Harmful : v == 1 || v == 3 ? V::Harmless : V::Undocumented; }},
        {"DisableTaskOffload", LeftoverWhere::Registry, M, kTcpip, "1",
         "all task offloads of the TCP/IP transport are off: more processor work for every packet", "absent or 0", D,
         "documented",
         "L4 \"Using Registry Values to Enable and Disable Task Offloading\"; "
         "L5 \"Performance Tuning Network Adapters\"",
         "", std::nullopt, [](std::uint32_t v) { return v == 1 ? V::Harmful : v == 0 ? V::Harmless : V::Undocumented; }},
        {"TCP Chimney offload", LeftoverWhere::Chimney, M, "", "enabled or automatic",
         "\"deprecated ... might adversely affect server and networking performance\"", "disabled", D,
         "documented; whether Windows 10/11 still act on it: unconfirmed",
         "L5 \"Performance Tuning Network Adapters\"; L6 Set-NetOffloadGlobalSetting",
         "netsh interface tcp set global chimney=disabled", std::nullopt, nullptr},
        {"Adapter *LsoV2IPv4 / *LsoV2IPv6", LeftoverWhere::AdapterKeyword, M, "", "0",
         "large-send offload off; Microsoft recommends static offloads such as LSO on, even for low latency", "1",
         D, "documented", "L5 \"Performance Tuning Network Adapters\"; L7 the standardized INF keywords",
         "Set-NetAdapterAdvancedProperty -Name <adapter> -RegistryKeyword '*LsoV2IPv4' -RegistryValue 1 "
         "(and '*LsoV2IPv6')",
         std::nullopt, nullptr},
        {"NetworkThrottlingIndex", LeftoverWhere::Registry, M, kMultimedia, "below 10",
         "while multimedia plays, other network traffic is limited to that many packets per millisecond; "
         "0xFFFFFFFF turns the limit off and is harmless",
         "10", D, "documented for Windows Vista; unconfirmed for Windows 10/11",
         "L8 KB 948066 \"How to use the throttling mechanism to control network performance in Windows Vista\"", "", 10u,
         [](std::uint32_t v) { return v < 10 ? V::Harmful : V::Harmless; }},
        {"EnablePMTUDiscovery", LeftoverWhere::Registry, M, kTcpip, "0",
         "a fixed MTU of 576 bytes for every host off the local network", "absent or 1", D,
         "documented for Windows 2000; unconfirmed for Windows 10/11",
         "L9 Windows 2000 TCP/IP registry reference (cc938197)", "", std::nullopt,
         [](std::uint32_t v) { return v == 0 ? V::Harmful : v == 1 ? V::Harmless : V::Undocumented; }},
        harmlessRow("TcpWindowSize", kTcpip,
                    "ignored since Windows Vista: the registry can no longer set the receive window", D, "documented",
                    "L5 \"Performance Tuning Network Adapters\" (the settings ignored in later versions)"),
        harmlessRow("GlobalMaxTcpWindowSize", kTcpip, "no reader since Windows Vista is documented", U,
                    "unconfirmed", "only Windows 2000/2003 documentation describes it"),
        harmlessRow("DefaultTTL", kTcpip, "64, the usual tweak, is harmless; only very small values could keep far "
                    "hosts out of reach", U, "unconfirmed", "no reference since Windows Vista found",
                    [](std::uint32_t v) { return v >= 64 ? V::Harmless : V::Undocumented; }),
        harmlessRow("MaxUserPort", kTcpip,
                    "since Windows Vista the dynamic port range is 49152-65535, set with netsh int ipv4 set "
                    "dynamicport; the usual tweak values are not harmful",
                    D, "documented (KB 929851); whether it is still read: unconfirmed", "L12 KB 929851"),
        harmlessRow("TcpTimedWaitDelay", kTcpip, "the usual tweak values (30) are not harmful", U, "unconfirmed",
                    "L12 KB 929851 (the dynamic port range)"),
        harmlessRow("TCPNoDelay", kTcpip,
                    "no reader in Microsoft's TCP/IP is documented (Nagle's algorithm is chosen per socket)", U,
                    "unconfirmed", "no Microsoft source found"),
        harmlessRow("SystemResponsiveness", kMultimedia,
                    "the processor share kept for low-priority tasks, not a network setting", D, "documented",
                    "L11 \"Multimedia Class Scheduler Service\""),
    };
}

std::uint32_t dwordOf(const ValueState& state)
{
    return static_cast<std::uint32_t>(state.data[0]) | static_cast<std::uint32_t>(state.data[1]) << 8 |
           static_cast<std::uint32_t>(state.data[2]) << 16 | static_cast<std::uint32_t>(state.data[3]) << 24;
}

bool isDword(const ValueState& state)
{
    return state.present && state.type == kRegDword && state.data.size() == 4;
}

const char* typeName(std::uint32_t type)
{
    return type == kRegSz ? "REG_SZ" : type == kRegDword ? "REG_DWORD" : "another type";
}

LeftoverFinding readRegistryRow(const LeftoverRow& row, RegistryBackend* backend)
{
    LeftoverFinding f{&row, V::Harmless, "absent", "", false, {}};
    const Status status = backend ? readValue(*backend, valuePathOf(row), f.state) : kStatusNotFound;
    if (status == kStatusNotFound) {
        f.note = "the default applies";
        return f;
    }
    if (status != kStatusOk) {
        f.verdict = V::Unreadable;
        f.now = "could not be read";
        f.note = "cannot read " + fullValuePath(valuePathOf(row)) + ": " + statusText(status);
        return f;
    }
    f.now = regDataText(f.state);
    if (!isDword(f.state)) {
        f.verdict = V::Undocumented;
        f.note = std::string("stored as ") + typeName(f.state.type) +
                 ", not the REG_DWORD its reader expects: what Windows makes of it is not documented";
        return f;
    }
    f.now += " (" + std::to_string(dwordOf(f.state)) + ")";
    f.verdict = row.judge ? row.judge(dwordOf(f.state)) : V::Harmless;
    if (f.verdict == V::Undocumented)
        f.note = "no source describes this value";
    return f;
}

// A level of MSFT_NetTCPSetting by netsh's name for it.
std::string autotuningLevelName(const std::string& number)
{
    static const char* const names[] = {"disabled", "highlyrestricted", "restricted", "normal", "experimental"};
    const int n = number.size() == 1 && number[0] >= '0' && number[0] <= '4' ? number[0] - '0' : -1;
    return n < 0 ? "level " + number : names[n];
}

std::string chimneyName(const std::string& number)
{
    return number == "0" ? "disabled" : number == "1" ? "enabled" : number == "2" ? "automatic" : "state " + number;
}

// The WMI rows: "not on this system" where the class cannot exist, "could
// not be read" where it should and does not answer.
bool askWmi(LeftoverFinding& f, WmiQuery& wmi, bool expected, const char* className,
            const std::vector<std::string>& properties, std::vector<WmiInstance>& out)
{
    if (!expected) {
        f.verdict = V::NotOnThisSystem;
        f.now = "not on this system";
        return false;
    }
    WmiAnswer answer = wmi.instances(kNetworkNamespace, className, properties);
    if (answer.status == WmiAnswer::Status::Answered && !answer.instances.empty()) {
        out = std::move(answer.instances);
        return true;
    }
    f.verdict = V::Unreadable;
    f.now = "could not be read";
    f.note = std::string("WMI ") + kNetworkNamespace + "\\" + className + ": " +
             (answer.status == WmiAnswer::Status::Failed            ? answer.failure
              : answer.status == WmiAnswer::Status::NotOnThisSystem ? std::string("WMI could not be started")
                                                                    : std::string("no instance answered"));
    return false;
}

LeftoverFinding readAutotuning(const LeftoverRow& row, WmiQuery& wmi, bool expected)
{
    LeftoverFinding f{&row, V::Harmless, "", "", false, {}};
    std::vector<WmiInstance> settings;
    if (!askWmi(f, wmi, expected, "MSFT_NetTCPSetting",
                {"SettingName", "AutoTuningLevelLocal", "AutoTuningLevelGroupPolicy", "AutoTuningLevelEffective"},
                settings))
        return f;
    // Each setting template's level in force: the policy's where
    // AutoTuningLevelEffective says 1 (GroupPolicy), else the local one.
    std::vector<std::string> shown;
    bool harmfulByPolicy = false;
    for (const WmiInstance& s : settings) {
        const auto effective = s.find("AutoTuningLevelEffective");
        const bool byPolicy = effective != s.end() && effective->second == "1";
        const auto level = s.find(byPolicy ? "AutoTuningLevelGroupPolicy" : "AutoTuningLevelLocal");
        if (level == s.end())
            continue;  // a template without a level of its own
        const std::string name = autotuningLevelName(level->second);
        const bool harmful = name == "disabled" || name == "highlyrestricted" || name == "restricted";
        if (harmful)
            f.verdict = V::Harmful;
        else if (name.rfind("level ", 0) == 0 && f.verdict == V::Harmless)
            f.verdict = V::Undocumented;
        harmfulByPolicy = harmfulByPolicy || (harmful && byPolicy);
        f.byGroupPolicy = f.byGroupPolicy || byPolicy;
        const auto setting = s.find("SettingName");
        shown.push_back((setting != s.end() ? setting->second + ": " : std::string()) + name +
                        (byPolicy ? " (Group Policy)" : ""));
    }
    if (shown.empty()) {
        f.verdict = V::Unreadable;
        f.now = "could not be read";
        f.note = "no setting of MSFT_NetTCPSetting reports a level";
        return f;
    }
    for (std::size_t i = 0; i < shown.size(); ++i)
        f.now += (i ? "; " : "") + shown[i];
    if (f.byGroupPolicy)
        f.note = harmfulByPolicy ? "set by Group Policy (AutoTuningLevelGroupPolicy is in force): it cannot be "
                                   "changed locally; the policy's administrator can"
                                 : "Group Policy sets the level in force (AutoTuningLevelGroupPolicy)";
    return f;
}

LeftoverFinding readChimney(const LeftoverRow& row, WmiQuery& wmi, bool expected)
{
    LeftoverFinding f{&row, V::Harmless, "", "", false, {}};
    std::vector<WmiInstance> settings;
    if (!askWmi(f, wmi, expected, "MSFT_NetOffloadGlobalSetting", {"Chimney"}, settings))
        return f;
    const auto chimney = settings[0].find("Chimney");
    if (chimney == settings[0].end()) {
        f.verdict = V::NotOnThisSystem;  // this Windows no longer has the setting
        f.now = "not on this system";
        return f;
    }
    f.now = chimneyName(chimney->second);
    f.verdict = f.now == "enabled" || f.now == "automatic" ? V::Harmful
                : f.now == "disabled"                      ? V::Harmless
                                                           : V::Undocumented;
    return f;
}

// Reads Backup\Leftovers.reg for the undo. It may have been planted or
// edited, so it may put back the fix's own values, as REG_DWORD, and nothing else.
bool readLeftoversFile(const BackupFolder& folder, std::vector<RegEntry>& entries, std::string& why)
{
    std::string text;
    if (!folder.read(kLeftoversName, kMaxBackupBytes, text, why))
        return false;
    const std::string path = folder.pathOf(kLeftoversName);
    try {
        entries = readRegFile(text);
    } catch (const RegParseError& e) {
        why = "the backup " + path + " is damaged (" + e.what() + ")";
        return false;
    }
    const std::vector<ValuePath> allowed = fixableLeftoverValues();
    for (const RegEntry& e : entries) {
        const bool ours = std::any_of(allowed.begin(), allowed.end(), [&](const ValuePath& p) { return samePlace(p, e.path); });
        if (!ours || !e.state || !isDword(*e.state)) {
            why = "the backup " + path + " sets something the fix never changes (" + fullValuePath(e.path) +
                  "), so it was not used";
            return false;
        }
    }
    return true;
}

}  // namespace

const std::vector<LeftoverRow>& leftoverRows()
{
    static const std::vector<LeftoverRow> rows = makeRows();
    return rows;
}

ValuePath valuePathOf(const LeftoverRow& row)
{
    return {row.root, row.keyPath, row.name};
}

std::vector<ValuePath> fixableLeftoverValues()
{
    std::vector<ValuePath> values;
    for (const LeftoverRow& row : leftoverRows())
        if (row.where == LeftoverWhere::Registry)
            values.push_back(valuePathOf(row));
    return values;
}

const char* verdictLabel(LeftoverVerdict verdict)
{
    switch (verdict) {
    case V::Harmless: return "harmless";
    case V::Harmful: return "harmful";
    case V::Undocumented: return "not documented";
    case V::NotOnThisSystem: return "not on this system";
    case V::Unreadable: return "could not be read";
    case V::NotRead: return "not read";
    }
    return "";
}

bool LeftoverReport::anyHarmful() const
{
    return std::any_of(findings.begin(), findings.end(), [](const LeftoverFinding& f) { return f.verdict == V::Harmful; });
}

bool LeftoverReport::anyUnreadable() const
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const LeftoverFinding& f) { return f.verdict == V::Unreadable; });
}

bool hasNetworkSettingsClasses(const std::optional<WindowsVersion>& version)
{
    return version && (version->major > 6 || (version->major == 6 && version->minor >= 2));
}

LeftoverReport readLeftovers(RegistryBackend* backend, WmiQuery& wmi, const std::optional<WindowsVersion>& version)
{
    const bool wmiExpected = hasNetworkSettingsClasses(version);
    std::optional<ReadSnapshot> snapshot;
    if (backend)
        snapshot.emplace(*backend);
    LeftoverReport report;
    for (const LeftoverRow& row : leftoverRows()) {
        switch (row.where) {
        case LeftoverWhere::Registry:
        case LeftoverWhere::RegistryHarmless: report.findings.push_back(readRegistryRow(row, backend)); break;
        case LeftoverWhere::Autotuning: report.findings.push_back(readAutotuning(row, wmi, wmiExpected)); break;
        case LeftoverWhere::Chimney: report.findings.push_back(readChimney(row, wmi, wmiExpected)); break;
        case LeftoverWhere::AdapterKeyword:
            report.findings.push_back(
                wmiExpected ? LeftoverFinding{&row, V::NotRead, "not read by this tool",
                                              "check with Get-NetAdapterAdvancedProperty -RegistryKeyword "
                                              "'*LsoV2IPv4','*LsoV2IPv6' (a RegistryValue of 0 is harmful)",
                                              false, {}}
                            : LeftoverFinding{&row, V::NotOnThisSystem, "not on this system", "", false, {}});
            break;
        }
    }
    return report;
}

std::vector<ValueChange> plannedLeftoverFixes(const LeftoverReport& report)
{
    std::vector<ValueChange> changes;
    for (const LeftoverFinding& f : report.findings) {
        if (f.row->where != LeftoverWhere::Registry || f.verdict != V::Harmful)
            continue;
        ValueState after;
        if (f.row->defaultDword) {
            const std::uint32_t v = *f.row->defaultDword;
            after = {true, kRegDword, {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}};
        }
        changes.push_back({valuePathOf(*f.row), f.state, after});
    }
    return changes;
}

std::string leftoversBackupPath(const std::string& programFolder)
{
    return joinPath(backupFolder(programFolder), kLeftoversName);
}

LeftoverFixResult fixLeftovers(RegistryBackend& backend, const std::string& programFolder)
{
    LeftoverFixResult result;
    BackupFolder folder(programFolder);
    std::string why;
    BackupFolder::Kind kind{};
    if (!folder.open(true, why) || !folder.kind(kLeftoversName, kind, why)) {
        result.error = why + "; nothing was changed";
        return result;
    }
    // Read again under the folder's lock: what is backed up is what is replaced.
    LeftoverReport report;
    for (const LeftoverRow& row : leftoverRows())
        if (row.where == LeftoverWhere::Registry)
            report.findings.push_back(readRegistryRow(row, &backend));
    result.changes = plannedLeftoverFixes(report);
    if (result.changes.empty())
        return result;

    // An earlier fix not undone keeps the state from before it.
    std::vector<RegEntry> kept;
    if (kind != BackupFolder::Kind::Absent && !readLeftoversFile(folder, kept, why)) {
        result.error = why + "; nothing was changed";
        result.changes.clear();
        return result;
    }
    for (const ValueChange& c : result.changes) {
        if (std::none_of(kept.begin(), kept.end(), [&](const RegEntry& e) { return samePlace(e.path, c.path); }))
            kept.push_back({c.path, c.before});
    }
    if (!folder.replace(kLeftoversName, writeRegFile(kept), why)) {
        result.error = why + "; nothing was changed";
        result.changes.clear();
        return result;
    }
    std::vector<RegEntry> defaults;
    for (const ValueChange& c : result.changes)
        defaults.push_back({c.path, c.after});
    result.failures = applyRegEntries(backend, defaults);
    return result;
}

LeftoverUndoResult undoLeftoverFix(RegistryBackend& backend, const std::string& programFolder)
{
    LeftoverUndoResult result;
    BackupFolder folder(programFolder);
    std::string why;
    BackupFolder::Kind kind = BackupFolder::Kind::Absent;
    if (!folder.open(false, why) || (!folder.missing() && !folder.kind(kLeftoversName, kind, why))) {
        result.error = why + "; nothing was changed";
        return result;
    }
    if (kind == BackupFolder::Kind::Absent) {
        result.nothingToUndo = true;
        return result;
    }
    std::vector<RegEntry> entries;
    if (!readLeftoversFile(folder, entries, why)) {
        result.error = why + "; nothing was changed";
        return result;
    }
    for (const RegEntry& e : entries) {
        ValueState before;
        (void)readValue(backend, e.path, before);  // for the log: absent when it cannot be read
        result.changes.push_back({e.path, before, *e.state});
    }
    result.failures = applyRegEntries(backend, entries);
    // Kept until every value is back, so that the undo can be tried again.
    if (result.failures.empty() && !folder.remove(kLeftoversName, why))
        result.error = "the values were put back, but " + leftoversBackupPath(programFolder) +
                       " could not be removed: " + why;
    return result;
}

}  // namespace ferro
