#include "platform/BackupFolder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <windows.h>

#include "platform/BackupFolderText.h"
#include "platform/Paths.h"
#include "platform/WideText.h"
#include "platform/WindowsCalls.h"

namespace ferro {
using namespace backupfolder;

namespace {

std::string reason(DWORD error)
{
    return win32::errorText(error);
}

// Two processes take turns on the folder, as flock() makes them elsewhere: a
// mutex named by the folder's identity (volume and file index), whatever path
// reached it. A mutex its holder left by dying is free again; each of that
// holder's writes was whole.
HANDLE lockFolder(const std::string& identity)
{
    HANDLE mutex = win32::createSharedMutex("FerroWinder.Backup." + identity);
    if (!mutex)
        return nullptr;
    const DWORD waited = WaitForSingleObject(mutex, INFINITE);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        return mutex;
    const DWORD error = GetLastError();
    CloseHandle(mutex);
    SetLastError(error);
    return nullptr;
}

std::string identityOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    char text[32];
    std::snprintf(text, sizeof text, "%08lx.%08lx%08lx", static_cast<unsigned long>(info.dwVolumeSerialNumber),
                  static_cast<unsigned long>(info.nFileIndexHigh), static_cast<unsigned long>(info.nFileIndexLow));
    return text;
}

// 95, 98 and Me open no folder, so have no file index of one: the folder is
// known by its path, spelled in capitals (names ignore case there), which
// holds as long as one spelling reaches it (no links there).
std::string identityOfPath(const std::string& path)
{
    std::string upper = path;
    CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (const unsigned char c : upper)
        hash = (hash ^ c) * 16777619u;
    char text[16];
    std::snprintf(text, sizeof text, "path.%08lx", static_cast<unsigned long>(hash));
    return text;
}

bool isMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Creates `folder` and each missing folder above it. False with the last
// error set when one cannot be made, or a file stands in a folder's place.
bool createFolders(const std::string& folder)
{
    if (win32::createDirectory(folder))
        return true;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = win32::fileAttributes(folder);
        SetLastError(error);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    const std::string parent = parentPath(folder);
    // A root that cannot be made (a missing drive) ends the climb.
    if (error != ERROR_PATH_NOT_FOUND || parent.empty() || parent.size() >= folder.size())
        return false;
    if (!createFolders(parent))
        return false;
    return win32::createDirectory(folder) || GetLastError() == ERROR_ALREADY_EXISTS;
}

class HandleGuard {
public:
    explicit HandleGuard(HANDLE h) : h_(h) {}
    ~HandleGuard()
    {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;
    HANDLE get() const { return h_; }
    HANDLE release()
    {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h;
    }
    // Closes now and reports whether closing succeeded (it flushes).
    bool close()
    {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

// The file an open handle (opened with FILE_FLAG_OPEN_REPARSE_POINT) really is.
bool checkRegularFile(HANDLE h, const std::string& path, std::string& why)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info))
        return failCall(why, "cannot examine", path);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return fail(why, linkText(path));
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return fail(why, notFileText(path));
    if (info.nNumberOfLinks > 1)
        return fail(why, hardLinkText(path));
    return true;
}

}  // namespace

// Taken at once after the failing call, before anything can change it.
std::string backupfolder::lastErrorText()
{
    return reason(GetLastError());
}

BackupFolder::~BackupFolder()
{
    if (lock_) {
        ReleaseMutex(lock_);
        CloseHandle(lock_);
    }
    if (handle_)
        CloseHandle(handle_);
}

bool BackupFolder::open(bool create, std::string& why)
{
    if (create) {
        if (!createFolders(parentPath(path_)))
            return failCall(why, "cannot create the folder", parentPath(path_));
        if (!win32::createDirectory(path_) && GetLastError() != ERROR_ALREADY_EXISTS)
            return failCall(why, "cannot create the folder", path_);
    }
    // The attributes of the path name a link even where the opened handle's
    // do not (Wine); the handle's check below covers a swap in between.
    const DWORD attributes = win32::fileAttributes(path_);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return fail(why, linkText(path_));
    if (!win32::wideRoad())
        return openByPath(attributes, create, why);
    // Opened as itself (not through a junction) and without delete sharing,
    // so that it cannot be renamed or swapped for a junction while in use.
    const HANDLE h = win32::createFile(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (!create && isMissing(error)) {
            missing_ = true;
            return true;
        }
        return fail(why, "cannot open the folder " + path_ + ": " + reason(error));
    }
    HandleGuard guard(h);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info))
        return failCall(why, "cannot examine the folder", path_);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return fail(why, linkText(path_));
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return fail(why, "cannot open the folder " + path_ + ": it is not a folder");
    lock_ = lockFolder(identityOf(info));
    if (!lock_)
        return failCall(why, "cannot lock the folder", path_);
    handle_ = guard.release();
    return true;
}

bool BackupFolder::openByPath(unsigned long attributes, bool create, std::string& why)
{
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (!create && isMissing(error)) {
            missing_ = true;
            return true;
        }
        return fail(why, "cannot open the folder " + path_ + ": " + reason(error));
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return fail(why, "cannot open the folder " + path_ + ": it is not a folder");
    lock_ = lockFolder(identityOfPath(path_));
    if (!lock_)
        return failCall(why, "cannot lock the folder", path_);
    return true;
}

bool BackupFolder::kind(const std::string& name, Kind& out, std::string& why) const
{
    const std::string path = pathOf(name);
    const DWORD attributes = win32::fileAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (!isMissing(error))
            return fail(why, "cannot examine " + path + ": " + reason(error));
        out = Kind::Absent;
        return true;
    }
    out = (attributes & FILE_ATTRIBUTE_REPARSE_POINT)                            ? Kind::Link
          : (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) ? Kind::Other
                                                                               : Kind::File;
    return true;
}

bool BackupFolder::write(const std::string& name, const std::string& content, std::string& why)
{
    const std::string path = pathOf(name);
    if (!checkNotLink(name, why))
        return false;
    // Opens a link as itself, so that the check below refuses it untouched.
    HandleGuard file(win32::createFile(path, GENERIC_WRITE, 0, OPEN_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT));
    if (file.get() == INVALID_HANDLE_VALUE)
        return failCall(why, "cannot write", path);
    if (!checkRegularFile(file.get(), path, why))
        return false;
    if (!SetEndOfFile(file.get()))
        return failCall(why, "cannot write", path);
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 20));
        if (!WriteFile(file.get(), content.data() + done, chunk, &written, nullptr))
            return failCall(why, "cannot write", path);
        done += written;
    }
    if (!FlushFileBuffers(file.get()) || !file.close())
        return failCall(why, "cannot write", path);
    return true;
}

bool BackupFolder::read(const std::string& name, std::size_t maxBytes, std::string& out, std::string& why) const
{
    const std::string path = pathOf(name);
    if (!checkNotLink(name, why))
        return false;
    HandleGuard file(win32::createFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                                       FILE_FLAG_OPEN_REPARSE_POINT));
    if (file.get() == INVALID_HANDLE_VALUE)
        return failCall(why, "cannot read", path);
    if (!checkRegularFile(file.get(), path, why))
        return false;
    // GetFileSize, not GetFileSizeEx: Windows 95, 98 and Me have only the first.
    DWORD high = 0;
    const DWORD low = GetFileSize(file.get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return failCall(why, "cannot read", path);
    const unsigned long long size = (static_cast<unsigned long long>(high) << 32) | low;
    if (size > maxBytes)
        return fail(why, tooLargeText(path, size, maxBytes));
    std::string text(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), text.data() + done, static_cast<DWORD>(text.size() - done), &got, nullptr))
            return failCall(why, "cannot read", path);
        if (got == 0)
            break;
        done += got;
    }
    text.resize(done);
    out = std::move(text);
    return true;
}

bool BackupFolder::remove(const std::string& name, std::string& why)
{
    const std::string path = pathOf(name);
    // DeleteFile removes a link itself.
    if (win32::deleteFile(path) || isMissing(GetLastError()))
        return true;
    return failCall(why, "cannot remove", path);
}

// Replaces a link at the target itself, never what it points to.
bool BackupFolder::moveIntoPlace(const std::string& from, const std::string& to)
{
    return win32::replaceFile(pathOf(from), pathOf(to));
}

}  // namespace ferro
