#pragma once
// Texts and small helpers shared by the per-system halves of BackupFolder.
#include <cstddef>
#include <string>

namespace ferro::backupfolder {

inline const char* const kPartialSuffix = ".partial";

inline std::string linkText(const std::string& path)
{
    return path + " is a symbolic link or junction, and the backup is never written or read through one";
}

inline std::string notFileText(const std::string& path)
{
    return path + " is not a regular file";
}

// A second name of a file elsewhere: writing would change that file too.
inline std::string hardLinkText(const std::string& path)
{
    return path + " is a hard link to another file, and the backup is never written or read through one";
}

inline std::string tooLargeText(const std::string& path, unsigned long long size, std::size_t maxBytes)
{
    return path + " is larger than a backup can be (" + std::to_string(size) + " bytes, at most " +
           std::to_string(maxBytes) + ")";
}

inline bool fail(std::string& why, std::string text)
{
    why = std::move(text);
    return false;
}

// The reason the last failing call gave; each system's half defines it.
std::string lastErrorText();

// "cannot write <path>: <reason>", with the reason the failing call gave: it
// is read first, before building the text can disturb it.
inline bool failCall(std::string& why, const char* what, const std::string& path)
{
    const std::string because = lastErrorText();
    return fail(why, what + (" " + path) + ": " + because);
}


}  // namespace ferro::backupfolder
