#include "tuning/ChangeLog.h"

#include <algorithm>

#include "platform/BackupFolder.h"
#include "platform/Paths.h"
#include "tuning/Backup.h"

namespace ferro {
namespace {

const char* const kLogName = "Changes.log";
const char* const kHeader = "time\tcommand\tvalue\tbefore\tafter\r\n";

// A field of a line: no tab or line end of its own (a REG_SZ may hold them).
std::string field(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

std::string utcTime(std::time_t when)
{
    const std::tm* utc = std::gmtime(&when);
    char text[32] = "?";
    if (utc)
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
    return text;
}

bool sameState(const ValueState& a, const ValueState& b)
{
    return a.present == b.present && (!a.present || (a.type == b.type && a.data == b.data));
}

}  // namespace

std::string changeLogPath(const std::string& programFolder)
{
    return joinPath(backupFolder(programFolder), kLogName);
}

std::vector<ValueChange> changesBetween(const std::vector<RegEntry>& before, const std::vector<RegEntry>& after)
{
    std::vector<ValueChange> changes;
    for (const RegEntry& b : before) {
        const auto a = std::find_if(after.begin(), after.end(), [&](const RegEntry& e) { return samePlace(e.path, b.path); });
        if (a == after.end())
            continue;  // not read afterwards: nothing is known of a change
        const ValueState was = b.state.value_or(ValueState{});
        const ValueState now = a->state.value_or(ValueState{});
        if (!sameState(was, now))
            changes.push_back({b.path, was, now});
    }
    return changes;
}

std::string stateText(const ValueState& state)
{
    return state.present ? regDataText(state) : "absent";
}

bool appendToChangeLog(const std::string& programFolder, const std::string& command,
                       const std::vector<ValueChange>& changes, std::string& why, std::time_t when)
{
    if (changes.empty())
        return true;
    BackupFolder folder(programFolder);
    BackupFolder::Kind kind{};
    std::string text;
    if (!folder.open(true, why) || !folder.kind(kLogName, kind, why) ||
        (kind != BackupFolder::Kind::Absent && !folder.read(kLogName, kMaxChangeLogBytes, text, why)))
        return false;
    if (text.empty())
        text = kHeader;
    const std::string stamp = utcTime(when);
    for (const ValueChange& c : changes)
        text += stamp + '\t' + field(command) + '\t' + field(fullValuePath(c.path)) + '\t' +
                field(stateText(c.before)) + '\t' + field(stateText(c.after)) + "\r\n";
    // The oldest lines go first, whole, the header staying.
    const std::size_t header = std::string(kHeader).size();
    while (text.size() > kMaxChangeLogBytes) {
        const std::size_t end = text.find("\r\n", header);
        text.erase(header, end == std::string::npos ? std::string::npos : end + 2 - header);
    }
    return folder.replace(kLogName, text, why);
}

bool readChangeLog(const std::string& programFolder, std::string& text, bool& none, std::string& why)
{
    BackupFolder folder(programFolder);
    BackupFolder::Kind kind{};
    if (!folder.open(false, why))
        return false;
    none = folder.missing();
    if (none)
        return true;
    if (!folder.kind(kLogName, kind, why))
        return false;
    none = kind == BackupFolder::Kind::Absent;
    return none || folder.read(kLogName, kMaxChangeLogBytes, text, why);
}

}  // namespace ferro
