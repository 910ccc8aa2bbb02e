#include "quoted_words.h"

namespace varkel {

SplitWords splitQuotedWords(WideView text, WordLimits limits) {
    SplitWords split;
    bool inQuotes = false;
    bool wordOpen = false;
    for (char16_t c : text) {
        if (c == u'"') {
            inQuotes = !inQuotes;
            continue;
        }
        if (c == u' ' && !inQuotes) {
            wordOpen = false;
            continue;
        }
        if (!wordOpen) {
            if (split.words.size() == limits.maxWords) {
                split.tooManyWords = true;
                return split;
            }
            split.words.emplace_back();
            wordOpen = true;
        }
        if (split.words.back().size() == limits.maxWordChars) {
            split.wordTooLong = true;
            return split;
        }
        split.words.back().push_back(c);
    }
    return split;
}

}  // namespace varkel
