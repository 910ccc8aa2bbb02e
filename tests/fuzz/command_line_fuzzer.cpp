// The launcher's argument splitter and command-line parser on arbitrary text,
// together with the shell extension's parameter string, which must survive
// that splitter.
//
// Properties: tokens are never empty and never hold a double quote; splitting
// loses no character but quotes and the blanks outside quotes; the extension's
// parameter string built from the tokens splits back into the same tokens;
// the parser hands every token but "--conf=<name>" to the Java program, in
// order, keeps the last name given, and asks for a console exactly when
// "--console" or "--help" is among the Java arguments. "--file-list=<name>"
// options are kept apart, each with its place among the Java arguments.
//
// The same bytes as a list file: decoding gives non-empty lines without line
// feeds, or refuses the whole list at a line; the lines, written again as the
// extension writes a selection, decode to the same lines; and the tokens,
// written as a selection list, come back unchanged.
#include <algorithm>
#include <cstdint>

#include "command_line.h"
#include "file_lists.h"
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

    const std::u16string parameters = varkel::quellis::buildParameterString(tokens);
    fuzz::require(varkel::splitArguments(parameters) == tokens,
                  "the extension's parameter string splits back into the same arguments");

    varkel::LaunchContext ctx;
    const std::size_t count = varkel::parseCommandLine(ctx, text);
    fuzz::require(count == ctx.javaArgs.size(), "the count is the number of Java arguments");
    const std::u16string_view conf = u"--conf=";
    const std::u16string_view fileList = u"--file-list=";
    std::optional<varkel::WideString> lastName;
    std::vector<varkel::WideString> expectedArgs;
    std::vector<varkel::FileListOption> expectedLists;
    for (const auto& token : tokens) {
        if (token.size() > conf.size() && token.compare(0, conf.size(), conf) == 0) {
            lastName = token.substr(conf.size());
        } else if (token.size() > fileList.size() && token.compare(0, fileList.size(), fileList) == 0) {
            expectedLists.push_back({token.substr(fileList.size()), expectedArgs.size()});
        } else {
            expectedArgs.push_back(token);
        }
    }
    fuzz::require(ctx.javaArgs == expectedArgs, "every other token reaches the Java program in order");
    fuzz::require(ctx.startupConfigName == lastName, "the last --conf= names the configuration");
    fuzz::require(ctx.fileLists.size() == expectedLists.size(), "every --file-list= is kept");
    for (std::size_t i = 0; i < expectedLists.size(); ++i) {
        fuzz::require(ctx.fileLists[i].name == expectedLists[i].name &&
                          ctx.fileLists[i].argumentIndex == expectedLists[i].argumentIndex,
                      "a --file-list= keeps its name and its place among the Java arguments");
    }
    const bool wantsConsole = std::any_of(expectedArgs.begin(), expectedArgs.end(),
                                          [](const auto& a) { return a == u"--console" || a == u"--help"; });
    fuzz::require((ctx.consoleRequested == 1) == wantsConsole, "--console and --help ask for a console");

    const varkel::FileListText list = varkel::decodeFileList(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::require(list.badLine == 0 || list.lines.empty(), "a list that is not UTF-8 is refused whole");
    for (const auto& line : list.lines) {
        fuzz::require(!line.empty() && line.find(u'\n') == varkel::WideString::npos,
                      "list lines are never empty and hold no line feed");
    }
    // (A first line that begins with U+FEFF would be read as a byte-order mark.)
    if (list.lines.empty() || list.lines[0][0] != u'\uFEFF') {
        fuzz::require(varkel::decodeFileList(varkel::quellis::selectionListText(list.lines)).lines == list.lines,
                      "decoded lines written again decode to the same lines");
    }

    // Paths as Windows gives them hold no line break, and no full path begins
    // with U+FEFF.
    std::vector<varkel::WideString> paths;
    for (const auto& token : tokens) {
        if (token.find_first_of(u"\r\n") == varkel::WideString::npos && !(paths.empty() && token[0] == u'\uFEFF'))
            paths.push_back(token);
    }
    const varkel::FileListText selection = varkel::decodeFileList(varkel::quellis::selectionListText(paths));
    fuzz::require(selection.badLine == 0 && selection.lines == paths,
                  "the extension's selection list reads back as the same paths");
    return 0;
}
