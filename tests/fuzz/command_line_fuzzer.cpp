// The launcher's argument splitter and command-line parser on arbitrary text,
// together with the shell extension's parameter string, which must survive
// that splitter.
//
// Properties: tokens are never empty and never hold a double quote; splitting
// loses no character but quotes and the blanks outside quotes; the extension's
// parameter string built from the tokens splits back into the same tokens;
// the parser hands every token but "--conf=<name>" to the Java program, in
// order, keeps the last name given, and asks for a console exactly when
// "--console" or "--help" is among the Java arguments.
#include <algorithm>
#include <cstdint>

#include "command_line.h"
#include "fuzz_text.h"
#include "launch_parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const varkel::WideString text = fuzz::wideText(std::string_view(reinterpret_cast<const char*>(data), size));
    const varkel::TokenList tokens = varkel::splitArguments(text);

    // Every character but the quotes and the blanks outside quotes belongs to
    // a token.
    std::size_t kept = 0;
    bool quoted = false;
    for (char16_t c : text) {
        if (c == u'"') quoted = !quoted;
        else if (c != u' ' || quoted) ++kept;
    }
    std::size_t tokenChars = 0;
    for (const auto& token : tokens) {
        fuzz::require(!token.empty(), "no empty token");
        fuzz::require(token.find(u'"') == varkel::WideString::npos, "quotes are dropped");
        tokenChars += token.size();
    }
    fuzz::require(tokenChars == kept, "splitting loses and adds no character but quotes and separating blanks");

    const std::u16string parameters = quellis::buildParameterString(tokens);
    fuzz::require(varkel::splitArguments(parameters) == tokens,
                  "the extension's parameter string splits back into the same arguments");

    varkel::LaunchContext ctx;
    const std::size_t count = varkel::parseCommandLine(ctx, text);
    fuzz::require(count == ctx.javaArgs.size(), "the count is the number of Java arguments");
    const std::u16string_view conf = u"--conf=";
    std::optional<varkel::WideString> lastName;
    std::vector<varkel::WideString> expectedArgs;
    for (const auto& token : tokens) {
        if (token.size() > conf.size() && token.compare(0, conf.size(), conf) == 0) {
            lastName = token.substr(conf.size());
        } else {
            expectedArgs.push_back(token);
        }
    }
    fuzz::require(ctx.javaArgs == expectedArgs, "every other token reaches the Java program in order");
    fuzz::require(ctx.startupConfigName == lastName, "the last --conf= names the configuration");
    const bool wantsConsole = std::any_of(expectedArgs.begin(), expectedArgs.end(),
                                          [](const auto& a) { return a == u"--console" || a == u"--help"; });
    fuzz::require((ctx.consoleRequested == 1) == wantsConsole, "--console and --help ask for a console");
    return 0;
}
