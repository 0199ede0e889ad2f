#include "platform/BackupFolder.h"

#include <algorithm>
#include <vector>

#include <windows.h>

#include "platform/BackupFolderText.h"
#include "platform/Paths.h"
#include "platform/WideText.h"

namespace ferro {
using namespace backupfolder;

namespace {

std::string reason(DWORD error)
{
    return win32::errorText(error);
}

// Paths are UTF-8; the wide calls take any name, and long ones through widePath.
std::wstring wide(const std::string& path)
{
    return win32::widePath(path);
}

// Two processes take turns on the folder, as flock() makes them elsewhere: a
// mutex named by the folder's identity (volume and file index), whatever path
// reached it. A mutex its holder left by dying is free again; each of that
// holder's writes was whole.
HANDLE lockFolder(const BY_HANDLE_FILE_INFORMATION& info)
{
    wchar_t name[64];
    swprintf(name, sizeof name / sizeof name[0], L"Global\\FerroWinder.Backup.%08lx.%08lx%08lx",
             static_cast<unsigned long>(info.dwVolumeSerialNumber), static_cast<unsigned long>(info.nFileIndexHigh),
             static_cast<unsigned long>(info.nFileIndexLow));
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
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

bool isMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Creates `folder` and each missing folder above it. False with the last
// error set when one cannot be made, or a file stands in a folder's place.
bool createFolders(const std::string& folder)
{
    const std::wstring name = wide(folder);
    if (CreateDirectoryW(name.c_str(), nullptr))
        return true;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = GetFileAttributesW(name.c_str());
        SetLastError(error);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    const std::string parent = parentPath(folder);
    // A root that cannot be made (a missing drive) ends the climb.
    if (error != ERROR_PATH_NOT_FOUND || parent.empty() || parent.size() >= folder.size())
        return false;
    if (!createFolders(parent))
        return false;
    return CreateDirectoryW(name.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
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
    const std::wstring folder = wide(path_);
    if (create) {
        if (!createFolders(parentPath(path_)))
            return failCall(why, "cannot create the folder", parentPath(path_));
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return failCall(why, "cannot create the folder", path_);
    }
    // The attributes of the path name a link even where the opened handle's
    // do not (Wine); the handle's check below covers a swap in between.
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return fail(why, linkText(path_));
    // Opened as itself (not through a junction) and without delete sharing,
    // so that it cannot be renamed or swapped for a junction while in use.
    const HANDLE h = CreateFileW(folder.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
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
    lock_ = lockFolder(info);
    if (!lock_)
        return failCall(why, "cannot lock the folder", path_);
    handle_ = guard.release();
    return true;
}

bool BackupFolder::kind(const std::string& name, Kind& out, std::string& why) const
{
    const std::string path = pathOf(name);
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
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
    HandleGuard file(CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
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
    HandleGuard file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return failCall(why, "cannot read", path);
    if (!checkRegularFile(file.get(), path, why))
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return failCall(why, "cannot read", path);
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return fail(why, tooLargeText(path, static_cast<unsigned long long>(size.QuadPart), maxBytes));
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
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
    if (DeleteFileW(wide(path).c_str()) || isMissing(GetLastError()))
        return true;
    return failCall(why, "cannot remove", path);
}

// Replaces a link at the target itself, never what it points to.
bool BackupFolder::moveIntoPlace(const std::string& from, const std::string& to)
{
    return MoveFileExW(wide(pathOf(from)).c_str(), wide(pathOf(to)).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace ferro
