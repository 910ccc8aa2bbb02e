#include "launch_parameters.h"

#include "format.h"
#include "quellis_messages.h"
#include "selection_list_file.h"
#include "utf8.h"

namespace varkel::quellis {

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
    std::u16string message = varkel::formatMessage(text::kLaunchFailed, {command, code});
    // The message buffer holds 1024 characters with its terminator; a longer
    // text is cut there, as bounded formatting would cut it.
    message.resize(varkel::headWithin(message, kLaunchFailureTextLimit - 1).size());
    return message;
}

bool fitsOnCommandLine(std::u16string_view launcher, std::u16string_view parameters) {
    // Two quotes and a blank around the path, and the terminator.
    return launcher.size() + 3 + parameters.size() + 1 <= kCommandLineLimit;
}

std::u16string selectionListName(std::uint32_t processId, std::uint64_t time, std::uint32_t attempt) {
    using namespace varkel::selection_list;
    std::u16string name(kNamePrefix);
    name += varkel::unsignedDecimalText(processId) + u"-" + varkel::unsignedDecimalText(time) + u"-" + varkel::unsignedDecimalText(attempt);
    name += kNameSuffix;
    return name;
}

std::string selectionListText(const std::vector<std::u16string>& paths) {
    // A lone surrogate, which a Windows file name may hold, becomes its own
    // three bytes, so the launcher reads back exactly the same name.
    std::string bytes;
    for (const auto& path : paths) {
        bytes += varkel::toUtf8(path);
        bytes += "\r\n";
    }
    return bytes;
}

std::u16string fileListParameter(std::u16string_view listPath) {
    std::u16string parameter = u"\"";
    parameter += varkel::selection_list::kFileListOption;
    parameter += listPath;
    parameter += u"\" ";
    return parameter;
}

std::u16string selectionListFailureText(std::u16string_view path, std::u16string_view systemText, std::int32_t code) {
    return varkel::formatMessage(text::kSelectionListFailed, {path, systemText, code});
}

}  // namespace varkel::quellis
