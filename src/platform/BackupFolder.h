#pragma once
// The Backup folder, reached so that no symbolic link or junction is ever
// followed: neither the folder itself nor any file in it may be one. The
// folder may be writable by others (the program folder on Windows), and the
// program runs elevated there, so a planted link must not redirect a write or
// pass off a file from elsewhere as the backup.
#include <cstddef>
#include <string>

namespace ferro {

class BackupFolder {
public:
    enum class Kind { Absent, File, Link, Other };  // Link: symbolic link or junction; Other: folder, device

    // <programFolder>/Backup.
    explicit BackupFolder(const std::string& programFolder);
    ~BackupFolder();
    BackupFolder(const BackupFolder&) = delete;
    BackupFolder& operator=(const BackupFolder&) = delete;

    // Opens the folder, creating it first when `create`, and holds a lock on
    // it until destroyed, so that two processes take turns. False with `why` set
    // when it cannot be opened or is not a real folder; a missing folder
    // without `create` is no failure: open() is true and missing() says so.
    bool open(bool create, std::string& why);
    bool missing() const { return missing_; }

    const std::string& path() const { return path_; }
    std::string pathOf(const std::string& name) const;

    // What stands at `name`, without following a link.
    bool kind(const std::string& name, Kind& out, std::string& why) const;
    // True when `name` is absent or a regular file; else `why` names the link or other thing.
    bool checkNotLink(const std::string& name, std::string& why) const;
    // Creates or truncates the file and writes `content`; refuses a link.
    // The checks before opening name the reason; the opening itself never
    // follows a link either, should one be planted in between.
    bool write(const std::string& name, const std::string& content, std::string& why);
    // Writes `content` to name.partial and renames it to `name`, so that a
    // half-written file never has the name.
    bool replace(const std::string& name, const std::string& content, std::string& why);
    // Reads a whole regular file of at most maxBytes; refuses a link.
    bool read(const std::string& name, std::size_t maxBytes, std::string& out, std::string& why) const;
    // Removes the file (a link itself, never its target); absent counts as removed.
    bool remove(const std::string& name, std::string& why);

private:
    // Renames `from` to `to` within the folder, replacing `to`.
    bool moveIntoPlace(const std::string& from, const std::string& to);
#ifdef _WIN32
    // open() where folders cannot be opened (Windows 95, 98 and Me).
    bool openByPath(unsigned long attributes, bool create, std::string& why);
#endif

    std::string path_;
    bool missing_ = false;
#ifdef _WIN32
    void* handle_ = nullptr;  // held without delete sharing, so the folder cannot be swapped
    void* lock_ = nullptr;    // the mutex that makes two processes take turns
#else
    int fd_ = -1;
#endif
};

}  // namespace ferro
