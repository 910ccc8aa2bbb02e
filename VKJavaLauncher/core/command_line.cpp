#include "command_line.h"

#include "messages.h"
#include "selection_list_file.h"
#include "quoted_words.h"

namespace varkel {

TokenList splitArguments(WideView text) { return splitQuotedWords(text).words; }

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
