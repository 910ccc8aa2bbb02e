// The setup tool's command-line check on arbitrary text.
//
// Properties: the splitter keeps to the tool's bounds (ten words of at most
// 149 characters) and, within them, splits exactly as the launcher does; a
// rejection for overflow matches the splitter's flags; an accepted install
// names a launcher path that is one of the words and no switch; the usage
// message fits the tool's buffer and always ends with the full usage text; the
// elevated instance's parameters are "/nofork " and the text unchanged.
#include <algorithm>
#include <cstdint>

#include "command_line.h"
#include "elevation_rule.h"
#include "fuzz_text.h"
#include "setup_command_line.h"
#include "setup_message_text.h"

namespace {

std::u16string usageTail() {
    // The part of the message after the quoted command line.
    const std::u16string probe = varkel::setup::usageMessage(u"x");
    return probe.substr(probe.find(u"x\"") + 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace varkel::setup;
    const std::u16string text = fuzz::wideText(std::string_view(reinterpret_cast<const char*>(data), size));

    const SplitWords split = splitSetupWords(text);
    fuzz::require(split.words.size() <= kMaxWords, "at most ten words");
    for (const auto& word : split.words) fuzz::require(word.size() <= kMaxWordChars, "no word beyond 149 characters");
    if (!split.overflowed())
        fuzz::require(split.words == varkel::splitArguments(text), "the setup tool splits as the launcher does");

    const SetupCommandLine check = checkSetupCommandLine(text);
    if (split.tooManyWords) fuzz::require(check.rejection == Rejection::tooManyWords, "too many words are refused");
    else if (split.wordTooLong) fuzz::require(check.rejection == Rejection::wordTooLong, "a long word is refused");
    else if (split.words.empty()) fuzz::require(check.rejection == Rejection::noWords, "no words are refused");
    if (check.accepted() && check.installMode) {
        fuzz::require(!check.launcherPath.empty(), "an install names a launcher path");
        fuzz::require(std::find(split.words.begin(), split.words.end(), check.launcherPath) != split.words.end(),
                      "the launcher path is one of the words");
        for (const char16_t* word : {u"/install", u"/uninstall", u"/allusers", u"/silent", u"/nofork"})
            fuzz::require(check.launcherPath != word, "a switch is never taken for the launcher path");
    }

    static const std::u16string kUsageTail = usageTail();
    const std::u16string usage = usageMessage(text);
    fuzz::require(usage.size() <= kMaxMessageChars, "the usage message fits the buffer");
    fuzz::require(usage.size() >= kUsageTail.size() &&
                      usage.compare(usage.size() - kUsageTail.size(), kUsageTail.size(), kUsageTail) == 0,
                  "the usage text always shows in full");

    fuzz::require(elevatedParameters(text) == u"/nofork " + text, "the elevated instance gets the text unchanged");
    return 0;
}
