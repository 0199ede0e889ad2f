#include "platform/BackupFolder.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/BackupFolderText.h"
#include "platform/Paths.h"

namespace ferro {
using namespace backupfolder;

namespace {

std::string reason(int error)
{
    // The system's words, "No space left on device", do not say which.
    if (error == ENOSPC)
        return "the disk is full";
    return std::generic_category().message(error);
}

class FdGuard {
public:
    explicit FdGuard(int fd) : fd_(fd) {}
    ~FdGuard()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int get() const { return fd_; }
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

}  // namespace

// Taken at once after the failing call, before anything can change it.
std::string backupfolder::lastErrorText()
{
    return reason(errno);
}

BackupFolder::~BackupFolder()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool BackupFolder::open(bool create, std::string& why)
{
    if (create) {
        const std::string parent = parentPath(path_);
        std::error_code ec;
        std::filesystem::create_directories(parent, ec);
        if (ec)
            return fail(why, "cannot create the folder " + parent + ": " + ec.message());
        if (mkdir(path_.c_str(), 0777) != 0 && errno != EEXIST)
            return failCall(why, "cannot create the folder", path_);
    }
    // O_NOFOLLOW: a link in the folder's place is refused, not followed; the
    // files are then reached relative to this descriptor.
    fd_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ >= 0) {
        // The windows and the command-line tool may both be at work here: one
        // at a time, until this object closes the folder.
        if (flock(fd_, LOCK_EX) != 0)
            return failCall(why, "cannot lock the folder", path_);
        return true;
    }
    const int error = errno;
    if (!create && error == ENOENT) {
        missing_ = true;
        return true;
    }
    struct stat st{};
    if (lstat(path_.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        return fail(why, linkText(path_));
    return fail(why, "cannot open the folder " + path_ + ": " + reason(error));
}

bool BackupFolder::kind(const std::string& name, Kind& out, std::string& why) const
{
    const std::string path = pathOf(name);
    struct stat st{};
    if (fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            return failCall(why, "cannot examine", path);
        out = Kind::Absent;
        return true;
    }
    out = S_ISLNK(st.st_mode) ? Kind::Link : S_ISREG(st.st_mode) ? Kind::File : Kind::Other;
    return true;
}

bool BackupFolder::write(const std::string& name, const std::string& content, std::string& why)
{
    const std::string path = pathOf(name);
    if (!checkNotLink(name, why))
        return false;
    // No O_TRUNC before the checks: a FIFO or device planted here is refused untouched.
    FdGuard file(openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return errno == ELOOP ? fail(why, linkText(path)) : failCall(why, "cannot write", path);
    struct stat st{};
    if (fstat(file.get(), &st) != 0)
        return failCall(why, "cannot write", path);
    if (!S_ISREG(st.st_mode))
        return fail(why, notFileText(path));
    if (st.st_nlink > 1)
        return fail(why, hardLinkText(path));
    if (ftruncate(file.get(), 0) != 0)
        return failCall(why, "cannot write", path);
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(file.get(), content.data() + done, content.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return failCall(why, "cannot write", path);
        done += static_cast<std::size_t>(written);
    }
    if (fsync(file.get()) != 0 || !file.close())
        return failCall(why, "cannot write", path);
    return true;
}

bool BackupFolder::read(const std::string& name, std::size_t maxBytes, std::string& out, std::string& why) const
{
    const std::string path = pathOf(name);
    if (!checkNotLink(name, why))
        return false;
    FdGuard file(openat(fd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        return errno == ELOOP ? fail(why, linkText(path)) : failCall(why, "cannot read", path);
    struct stat st{};
    if (fstat(file.get(), &st) != 0)
        return failCall(why, "cannot read", path);
    if (!S_ISREG(st.st_mode))
        return fail(why, notFileText(path));
    if (st.st_nlink > 1)
        return fail(why, hardLinkText(path));
    if (static_cast<unsigned long long>(st.st_size) > maxBytes)
        return fail(why, tooLargeText(path, static_cast<unsigned long long>(st.st_size), maxBytes));
    // One byte more than allowed, to notice a file that grew since fstat.
    std::string text(maxBytes + 1, '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(file.get(), text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failCall(why, "cannot read", path);
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    if (done > maxBytes)
        return fail(why, tooLargeText(path, done, maxBytes));
    text.resize(done);
    out = std::move(text);
    return true;
}

bool BackupFolder::remove(const std::string& name, std::string& why)
{
    const std::string path = pathOf(name);
    // unlinkat removes a link itself.
    if (unlinkat(fd_, name.c_str(), 0) == 0 || errno == ENOENT)
        return true;
    return failCall(why, "cannot remove", path);
}

// Replaces a link at the target itself, never what it points to.
bool BackupFolder::moveIntoPlace(const std::string& from, const std::string& to)
{
    return renameat(fd_, from.c_str(), fd_, to.c_str()) == 0;
}

}  // namespace ferro
