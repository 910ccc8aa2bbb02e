// How a command line splits into words, in the launcher and in the setup tool
// alike: blanks (U+0020 only) outside double quotes separate words; a double
// quote toggles quoting and belongs to no word; a quoted blank, like any other
// character, belongs to a word (so a lone "" makes no word).
//
// Where the two differ, WordLimits says it: the launcher takes any number of
// words of any length; the setup tool keeps its historic fixed buffers and
// rejects a command line beyond them rather than cutting a word.
#pragma once

#include <cstddef>
#include <limits>
#include <vector>

#include "text.h"

namespace varkel {

struct WordLimits {
    std::size_t maxWords = std::numeric_limits<std::size_t>::max();
    std::size_t maxWordChars = std::numeric_limits<std::size_t>::max();
};

struct SplitWords {
    std::vector<WideString> words;
    bool tooManyWords = false;  // a word began beyond maxWords
    bool wordTooLong = false;   // a word grew past maxWordChars
    bool overflowed() const { return tooManyWords || wordTooLong; }
};

// Stops at the first overflow; the words split so far stay.
SplitWords splitQuotedWords(WideView text, WordLimits limits = {});

}  // namespace varkel
