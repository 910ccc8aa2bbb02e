#include "setup_message_text.h"

#include <vector>

#include "format.h"
#include "setup_messages.h"

namespace varkel::setup {

namespace {

// The setup tool's formats hold only "%s"; it has always left a placeholder
// without an argument empty.
std::u16string fillPlaceholders(std::u16string_view format, std::initializer_list<std::u16string_view> arguments) {
    std::vector<FormatArg> args(arguments.begin(), arguments.end());
    return formatMessage(format, args, MissingArgument::writeNothing);
}

std::u16string usageWith(std::u16string_view shownCommandLine) {
    return fillPlaceholders(text::kUsage, {shownCommandLine, text::kSilentWord, text::kAllUsersWord,
                                           text::kInstallWord, text::kSilentWord, text::kAllUsersWord,
                                           text::kUninstallWord});
}

}  // namespace

std::u16string FormatSetupMessage(std::u16string_view format, std::initializer_list<std::u16string_view> arguments) {
    return std::u16string(headWithin(fillPlaceholders(format, arguments), kMaxMessageChars));
}

std::u16string usageMessage(std::u16string_view commandLine) {
    std::u16string whole = usageWith(commandLine);
    if (whole.size() <= kMaxMessageChars) return whole;
    const std::u16string_view mark = text::kShortenedMark;
    const std::size_t room = kMaxMessageChars - usageWith(u"").size() - mark.size();
    std::u16string shown(headWithin(commandLine, room));
    shown.append(mark);
    return usageWith(shown);
}

}  // namespace varkel::setup
