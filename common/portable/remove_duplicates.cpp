// removeDuplicates (text.h) in a file of its own: its hash table is the
// launcher's alone, and the static linker then leaves it out of the others.
#include <unordered_set>

#include "text.h"

namespace varkel {

std::size_t removeDuplicates(std::vector<WideString>& texts) {
    // A hash set of the texts seen so far keeps this linear: searching the
    // kept list for each text grew with the square of the count (1.4 s for
    // the JVM library list of 5,000 Java homes).
    std::unordered_set<WideString> seen;
    seen.reserve(texts.size());
    std::vector<WideString> kept;
    kept.reserve(texts.size());
    for (auto& t : texts)
        if (seen.insert(t).second) kept.push_back(std::move(t));
    texts = std::move(kept);
    return texts.size();
}

}  // namespace varkel
