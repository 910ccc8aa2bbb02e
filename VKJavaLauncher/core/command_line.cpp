#include "command_line.h"

#include "messages.h"
#include "selection_list_file.h"

namespace varkel {

TokenList splitArguments(WideView text) {
    TokenList tokens;
    bool betweenTokens = true;
    bool inQuotes = false;
    for (char16_t c : text) {
        if (c == u'"') {
            inQuotes = !inQuotes;
        } else if (c == u' ' && !inQuotes) {
            betweenTokens = true;
        } else if (betweenTokens) {
            // A quoted blank opens a token too.
            tokens.emplace_back(1, c);
            betweenTokens = false;
        } else {
            tokens.back().push_back(c);
        }
    }
    return tokens;
}

std::size_t parseCommandLine(LaunchContext& ctx, WideView lpCmdLine) {
    TokenList paramsArray = splitArguments(lpCmdLine);
    const WideView conf = text::kConfOption;
    const WideView fileList = selection_list::kFileListOption;
    ctx.startupConfigName.reset();
    ctx.fileLists.clear();
    ctx.javaArgs.clear();
    ctx.javaArgs.reserve(paramsArray.size());
    for (WideString& token : paramsArray) {
        if (token.size() > conf.size() && startsWith(token, conf)) {
            // The name is everything after the first "=", further "=" included.
            ctx.startupConfigName = token.substr(conf.size());
            continue;
        }
        if (token.size() > fileList.size() && startsWith(token, fileList)) {
            // Its lines take this place among the Java arguments (readFileLists).
            ctx.fileLists.push_back({token.substr(fileList.size()), ctx.javaArgs.size()});
            continue;
        }
        if (token == text::kConsoleOption || token == text::kHelpOption) ctx.consoleRequested = 1;
        ctx.javaArgs.push_back(std::move(token));
    }
    return ctx.javaArgs.size();
}

}  // namespace varkel
