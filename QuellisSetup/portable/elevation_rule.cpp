#include "elevation_rule.h"

#include "setup_exit_codes.h"
#include "setup_messages.h"

namespace varkel::setup {

bool shouldRestartElevated(int attemptResult, bool allUsers, bool forkAllowed) {
    const bool retryable = attemptResult <= exit_code::kModuleNotLoadable &&
                           attemptResult >= exit_code::kRegisterServerFailed;
    return retryable && allUsers && forkAllowed;
}

std::u16string elevatedParameters(std::u16string_view commandLine) {
    std::u16string parameters = text::kNoForkWord;
    parameters.push_back(u' ');
    parameters.append(commandLine);
    return parameters;
}

}  // namespace varkel::setup
