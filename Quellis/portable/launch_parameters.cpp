#include "launch_parameters.h"

namespace quellis {

namespace {

constexpr std::u16string_view kFailureBeforeCommand = u"ERROR: Unable to start Varkel using command \"";
constexpr std::u16string_view kFailureBeforeCode =
    u"\".\nPlease check your Varkel installation and Java installation.\n\nError code: [";
constexpr std::u16string_view kFailureAfterCode = u"]";

std::u16string decimal(std::int32_t value) {
    // Through 64 bits so that the most negative value negates safely.
    std::int64_t magnitude = value;
    bool negative = magnitude < 0;
    if (negative) magnitude = -magnitude;
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) digits.insert(digits.begin(), u'-');
    return digits;
}

}  // namespace

std::u16string buildParameterString(const std::vector<std::u16string>& paths) {
    std::size_t length = 0;
    for (const auto& path : paths) length += path.size() + 3;
    std::u16string parameters;
    parameters.reserve(length);
    for (const auto& path : paths) {
        parameters += u'"';
        parameters += path;
        parameters += u"\" ";
    }
    return parameters;
}

std::u16string launchFailureText(std::u16string_view command, std::int32_t code) {
    std::u16string text;
    text += kFailureBeforeCommand;
    text += command;
    text += kFailureBeforeCode;
    text += decimal(code);
    text += kFailureAfterCode;
    // The message buffer holds 1024 characters with its terminator; a longer
    // text is cut there, as bounded formatting would cut it.
    if (text.size() > kLaunchFailureTextLimit - 1) text.resize(kLaunchFailureTextLimit - 1);
    return text;
}

}  // namespace quellis
