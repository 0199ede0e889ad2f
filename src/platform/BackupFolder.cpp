#include "platform/BackupFolder.h"

#include "platform/BackupFolderText.h"
#include "platform/Paths.h"

// The per-system halves are BackupFolderWin32.cpp and BackupFolderPosix.cpp.
namespace ferro {
using namespace backupfolder;

BackupFolder::BackupFolder(const std::string& programFolder)
    : path_(joinPath(programFolder, "Backup"))
{
}

std::string BackupFolder::pathOf(const std::string& name) const
{
    return joinPath(path_, name);
}

bool BackupFolder::checkNotLink(const std::string& name, std::string& why) const
{
    Kind k = Kind::Absent;
    if (!kind(name, k, why))
        return false;
    if (k == Kind::Link)
        return fail(why, linkText(pathOf(name)));
    if (k == Kind::Other)
        return fail(why, notFileText(pathOf(name)));
    return true;
}

bool BackupFolder::replace(const std::string& name, const std::string& content, std::string& why)
{
    const std::string partial = name + kPartialSuffix;
    const std::string path = pathOf(name);
    std::string ignored;
    if (!write(partial, content, why)) {
        // None left behind, empty or cut short (on a full disk, say); a link
        // or anything else that was refused is left as it stands.
        Kind left = Kind::Absent;
        if (kind(partial, left, ignored) && left == Kind::File)
            remove(partial, ignored);
        return false;
    }
    if (moveIntoPlace(partial, name))
        return true;
    failCall(why, "cannot write", path);
    remove(partial, ignored);  // the rename's failure is the one to report
    return false;
}

}  // namespace ferro
