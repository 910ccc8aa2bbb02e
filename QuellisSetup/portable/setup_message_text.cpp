#include "setup_message_text.h"

#include "setup_messages.h"

namespace varkel::setup {

namespace {

constexpr std::u16string_view kPlaceholder = u"%s";

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// The first `limit` characters of text, one fewer when the last kept one
// would be the first half of a surrogate pair.
std::u16string_view headOf(std::u16string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    if (limit > 0 && isHighSurrogate(text[limit - 1])) --limit;
    return text.substr(0, limit);
}

std::u16string fillPlaceholders(std::u16string_view format, std::initializer_list<std::u16string_view> arguments) {
    std::u16string out;
    auto next = arguments.begin();
    std::size_t pos = 0;
    for (std::size_t hit = format.find(kPlaceholder); hit != std::u16string_view::npos;
         hit = format.find(kPlaceholder, pos)) {
        out.append(format.substr(pos, hit - pos));
        if (next != arguments.end()) out.append(*next++);
        pos = hit + kPlaceholder.size();
    }
    out.append(format.substr(pos));
    return out;
}

std::u16string usageWith(std::u16string_view shownCommandLine) {
    return fillPlaceholders(text::kUsage, {shownCommandLine, text::kSilentWord, text::kAllUsersWord,
                                           text::kInstallWord, text::kSilentWord, text::kAllUsersWord,
                                           text::kUninstallWord});
}

}  // namespace

std::u16string formatSetupMessage(std::u16string_view format, std::initializer_list<std::u16string_view> arguments) {
    return std::u16string(headOf(fillPlaceholders(format, arguments), kMaxMessageChars));
}

std::u16string usageMessage(std::u16string_view commandLine) {
    std::u16string whole = usageWith(commandLine);
    if (whole.size() <= kMaxMessageChars) return whole;
    const std::u16string_view mark = text::kShortenedMark;
    const std::size_t room = kMaxMessageChars - usageWith(u"").size() - mark.size();
    std::u16string shown(headOf(commandLine, room));
    shown.append(mark);
    return usageWith(shown);
}

}  // namespace varkel::setup
