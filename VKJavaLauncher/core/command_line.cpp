#include "command_line.h"

#include "messages.h"
#include "quoted_words.h"

namespace varkel {

TokenList splitArguments(WideView text) { return splitQuotedWords(text).words; }

std::size_t parseCommandLine(LaunchContext& ctx, WideView lpCmdLine) {
    TokenList paramsArray = splitArguments(lpCmdLine);
    const WideView conf = text::kConfOption;
    ctx.startupConfigName.reset();
    ctx.javaArgs.clear();
    ctx.javaArgs.reserve(paramsArray.size());
    for (WideString& token : paramsArray) {
        if (token.size() > conf.size() && startsWith(token, conf)) {
            // The name is everything after the first "=", further "=" included.
            ctx.startupConfigName = token.substr(conf.size());
            continue;
        }
        if (token == text::kConsoleOption || token == text::kHelpOption) ctx.consoleRequested = 1;
        ctx.javaArgs.push_back(std::move(token));
    }
    return ctx.javaArgs.size();
}

}  // namespace varkel
