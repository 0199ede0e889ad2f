#pragma once
// What the main window's restore tells the user when it fails, worded for a
// message box (paragraphs apart, CR LF line ends).
#include <algorithm>
#include <cctype>
#include <string>

#include "tuning/Backup.h"

namespace ferro {

// The failure as a sentence: a capital only for a word, so that a path that
// starts it keeps its case, which names another file where case matters.
inline std::string restoreErrorSentence(std::string error)
{
    const std::string firstWord = error.substr(0, error.find(' '));
    const bool isWord = std::all_of(firstWord.begin(), firstWord.end(),
                                    [](unsigned char c) { return std::isalpha(c) != 0; });
    if (isWord && !error.empty())
        error[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(error[0])));
    return error + ".";
}

inline std::string restoreFailureText(const RestoreResult& result)
{
    std::string text = "Your registry could not be fully restored.";
    const auto storeWide = [](const Failure& f) { return refusesEveryWrite(f.status); };
    if (!result.failures.empty() && std::all_of(result.failures.begin(), result.failures.end(), storeWide)) {
        text += "\r\n\r\nNothing could be restored: " + statusText(result.failures[0].status) + ".";
    } else if (!result.failures.empty()) {
        text += "\r\n\r\nThese values could not be restored:";
        for (const Failure& f : result.failures)
            text += "\r\n" + fullValuePath(f.path) + ": " + statusText(f.status);
    }
    if (!result.error.empty())
        text += "\r\n\r\n" + restoreErrorSentence(result.error);
    if (result.usedBackup && !result.failures.empty())
        text += "\r\n\r\nThe backup was kept, so you can try again.";
    return text;
}

}  // namespace ferro
