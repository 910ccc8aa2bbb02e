#include "launch_parameters.h"

#include "format.h"

namespace quellis {

namespace {

constexpr std::u16string_view kFailureBeforeCommand = u"ERROR: Unable to start Varkel using command \"";
constexpr std::u16string_view kFailureBeforeCode =
    u"\".\nPlease check your Varkel installation and Java installation.\n\nError code: [";
constexpr std::u16string_view kFailureAfterCode = u"]";

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
    text += varkel::decimalText(code);
    text += kFailureAfterCode;
    // The message buffer holds 1024 characters with its terminator; a longer
    // text is cut there, as bounded formatting would cut it.
    text.resize(varkel::headWithin(text, kLaunchFailureTextLimit - 1).size());
    return text;
}

}  // namespace quellis
