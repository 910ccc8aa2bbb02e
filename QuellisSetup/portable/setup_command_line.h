// The setup tool's command line: word splitting and the check of the words.
// Pure text processing, free of Windows headers, so that it can be tested
// and fuzzed natively.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "quoted_words.h"

namespace varkel::setup {

// The tool has always kept words in fixed buffers of 150 characters (terminator
// included) and at most 10 of them; a command line beyond these bounds is
// rejected whole rather than cut, so a launcher path is never shortened.
inline constexpr std::size_t kMaxWords = 10;
inline constexpr std::size_t kWordBufferChars = 150;
inline constexpr std::size_t kMaxWordChars = kWordBufferChars - 1;
// The stored launcher path has room for 512 characters, terminator included.
inline constexpr std::size_t kLauncherPathBufferChars = 512;
static_assert(kMaxWordChars < kLauncherPathBufferChars, "every accepted word fits the launcher path");

using SplitWords = varkel::SplitWords;

// The launcher's splitting rule (quoted_words.h) within the bounds above:
// an eleventh word or a word past kMaxWordChars stops the split.
SplitWords splitSetupWords(std::u16string_view commandLine);

enum class Rejection {
    none,
    noWords,               // empty, or blanks and quotes only
    tooManyWords,
    wordTooLong,
    unknownWord,           // a word that is neither a switch nor an expected path
    switchInsteadOfPath,   // a switch where the word after "/install" was due
    missingPath,           // "/install" without a following word
    installAndUninstall,
    noJob,                 // neither "/install" nor "/uninstall"
};

// The outcome of the check. The flags keep whatever was set before a
// rejection, as the tool's flags always have.
struct SetupCommandLine {
    Rejection rejection = Rejection::none;
    bool installMode = true;
    bool allUsers = false;
    bool silent = false;
    bool forkAllowed = true;
    std::u16string launcherPath;
    bool accepted() const { return rejection == Rejection::none; }
};

SetupCommandLine checkSetupCommandLine(std::u16string_view commandLine);

}  // namespace varkel::setup
