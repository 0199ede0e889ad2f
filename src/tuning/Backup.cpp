#include "tuning/Backup.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tuning/TuningPlan.h"

namespace ferro {
namespace fs = std::filesystem;

const char* const kBackupMarkerLine =
    "Backup File 1.0. Backup feature structure put in for later purpose.";

namespace {

std::string joined(const std::string& folder, const char* name)
{
    return (fs::path(folder) / name).string();
}

// Writes the whole file or reports why not, naming the path.
bool writeWholeFile(const std::string& path, const std::string& content, std::string& why)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out)
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (out)
        out.close();
    if (!out) {
        why = "cannot write " + path + ": " + std::strerror(errno ? errno : EIO);
        return false;
    }
    return true;
}

std::string timestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &local);
    return buf;
}

}  // namespace

std::string backupFolder(const std::string& programFolder)
{
    return joined(programFolder, "Backup");
}

std::string markerFilePath(const std::string& programFolder)
{
    return joined(backupFolder(programFolder), "Backup.nbf");
}

std::string backupRegPath(const std::string& programFolder)
{
    return joined(backupFolder(programFolder), "Backup.reg");
}

BackupResult writeBackup(RegistryBackend& backend, const std::string& programFolder)
{
    BackupResult result;
    std::error_code ec;
    const std::string folder = backupFolder(programFolder);
    fs::create_directories(folder, ec);
    if (ec) {
        result.failure = "cannot create the folder " + folder + ": " + ec.message();
        return result;
    }

    std::vector<std::string> problems;
    std::string why;
    if (!writeWholeFile(markerFilePath(programFolder), std::string(kBackupMarkerLine) + "\r\n", why))
        problems.push_back(why);

    // An existing Backup.reg holds the settings from before the first boost:
    // taking a new one now would save the boost's own values instead.
    const std::string regPath = backupRegPath(programFolder);
    if (!fs::exists(regPath, ec)) {
        std::vector<ApplyFailure> unreadable;
        const std::vector<RegEntry> state = captureState(backend, planValues(), unreadable);
        for (const ApplyFailure& f : unreadable)
            problems.push_back("cannot read " + fullValuePath(f.path) + ": " + statusText(f.status));
        if (unreadable.empty()) {
            // Written beside and then renamed, so a half-written backup never exists.
            const std::string partial = regPath + ".partial";
            if (!writeWholeFile(partial, writeRegFile(state), why)) {
                problems.push_back(why);
                fs::remove(partial, ec);
            } else {
                fs::rename(partial, regPath, ec);
                if (ec)
                    problems.push_back("cannot write " + regPath + ": " + ec.message());
            }
        }
    }

    result.ok = problems.empty();
    for (std::size_t i = 0; i < problems.size(); ++i)
        result.failure += (i ? "; " : "") + problems[i];
    return result;
}

RestoreResult restoreRegistry(RegistryBackend& backend, const std::string& programFolder)
{
    RestoreResult result;
    const std::string regPath = backupRegPath(programFolder);
    std::error_code ec;
    if (!fs::exists(regPath, ec)) {
        for (const ValuePath& path : defaultRestoreValues()) {
            const Status status = deleteValue(backend, path);
            if (status != kStatusOk)
                result.failures.push_back({path, status});
        }
        return result;
    }

    result.usedBackup = true;
    std::ifstream in(regPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        result.error = "cannot read the backup " + regPath + ": " + std::strerror(errno ? errno : EIO);
        return result;
    }
    std::vector<RegEntry> entries;
    try {
        entries = readRegFile(text.str());
    } catch (const RegParseError& e) {
        result.error = "the backup " + regPath + " is damaged (" + e.what() + "); nothing was changed";
        return result;
    }
    result.failures = applyRegEntries(backend, entries);
    if (!result.failures.empty())
        return result;

    // Retired, so that the next backup records the settings as they are then.
    const std::string retired = regPath + ".restored-" + timestamp();
    fs::rename(regPath, retired, ec);
    if (ec)
        result.error = "the values were restored, but the backup " + regPath +
                       " could not be retired: " + ec.message();
    else
        result.retiredTo = retired;
    return result;
}

std::string restoreFailureText(const RestoreResult& result)
{
    std::string text = "Your registry could not be fully restored.";
    if (!result.failures.empty()) {
        text += "\r\n\r\nThese values could not be restored:";
        for (const ApplyFailure& f : result.failures)
            text += "\r\n" + fullValuePath(f.path) + ": " + statusText(f.status);
    }
    if (!result.error.empty()) {
        std::string sentence = result.error;
        sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
        text += "\r\n\r\n" + sentence + ".";
    }
    if (result.usedBackup && result.retiredTo.empty())
        text += "\r\n\r\nThe backup was kept, so you can try again.";
    return text;
}

}  // namespace ferro
