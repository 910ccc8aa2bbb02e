#include "installation.h"

#include <sstream>

#include "standin_jvm_protocol.h"
#include "standin_protocol.h"

namespace consoletest {

namespace {

constexpr const wchar_t* kLauncher = L"Varkel-64.exe";
constexpr const wchar_t* kSplashRecord = L"splash-record.txt";

// The stand-ins are built beside the test program, each bitness in a folder of its own.
std::wstring besideTests(const std::wstring& relative) { return wintest::testProgramDirectory() + L"\\" + relative; }

void copyInto(const std::wstring& from, const std::wstring& to) {
    wintest::makeDirectories(to.substr(0, to.find_last_of(L'\\')));
    wintest::copyFileOrFail(from, to);
}

void setOrClear(const wchar_t* name, const std::wstring& value) {
    SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

// While it lives, programs started from the test program get neither its
// console nor its standard handles, as when Explorer starts them. (Wine hands a
// parent's console on even to a GUI program, whose own console then cannot be
// created, and passes the parent's standard handle values on.) The test
// program's own output is unaffected: its C runtime keeps the handles it has.
class StartedAsFromExplorer {
public:
    StartedAsFromExplorer() {
        FreeConsole();
        for (DWORD which : kStandardHandles) {
            saved_.push_back(GetStdHandle(which));
            SetStdHandle(which, nullptr);
        }
    }
    ~StartedAsFromExplorer() {
        for (std::size_t i = 0; i < saved_.size(); ++i) SetStdHandle(kStandardHandles[i], saved_[i]);
    }
    StartedAsFromExplorer(const StartedAsFromExplorer&) = delete;
    StartedAsFromExplorer& operator=(const StartedAsFromExplorer&) = delete;

private:
    static constexpr DWORD kStandardHandles[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    std::vector<HANDLE> saved_;
};

void applyBehaviour(const MainBehaviour& main, const std::wstring& recordPath) {
    setOrClear(standin::kMainResultVariable, std::to_wstring(main.result));
    setOrClear(standin::kExceptionVariable, main.exception);
    setOrClear(standin::kOutputVariable, main.output);
    setOrClear(standin::kMissingVariable, main.missingClass ? standin::kMissingClass : L"");
    setOrClear(standin::kReleaseFileVariable, main.holdFile);
    setOrClear(kSplashRecordVariable, recordPath);
}

}  // namespace

Installation::Installation(const std::string& configLines, SplashLibraries splash) : dir_(L"vkconsole") {
    copyInto(besideTests(kLauncher), dir_ / kLauncher);
    wintest::makeDirectories(dir_ / L"lib");  // the launcher lists its archives
    copyInto(besideTests(L"standin64\\jvm.dll"), dir_ / L"java\\bin\\server\\jvm.dll");
    switch (splash) {
        case SplashLibraries::none:
            break;
        case SplashLibraries::ownBitness:
            copyInto(besideTests(L"standin64\\splashscreen.dll"), dir_ / L"java\\bin\\splashscreen.dll");
            break;
        case SplashLibraries::otherBitnessFirst:
            copyInto(besideTests(L"standin32\\splashscreen.dll"), dir_ / L"java\\bin\\splashscreen.dll");
            copyInto(besideTests(L"standin64\\splashscreen.dll"), dir_ / L"java\\jre\\bin\\splashscreen.dll");
            break;
    }
    wintest::writeFileBytes(dir_ / L"startup.conf",
                            "JAVA_PATH=" + wintest::utf8(dir_ / L"java") + "\r\n" + configLines);
}

std::vector<std::string> Installation::splashRecord() const {
    std::vector<std::string> lines;
    if (!wintest::fileExists(dir_ / kSplashRecord)) return lines;
    std::istringstream text(wintest::readFileBytes(dir_ / kSplashRecord));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

wintest::RunResult Installation::run(const std::wstring& arguments, const MainBehaviour& main,
                                     wintest::RunOptions options) const {
    applyBehaviour(main, dir_ / kSplashRecord);
    std::wstring commandLine = wintest::quoted(dir_ / kLauncher);
    if (!arguments.empty()) commandLine += L" " + arguments;
    StartedAsFromExplorer explorerLike;
    return wintest::runWatched(commandLine, options);
}

std::string describeBoxes(const wintest::RunResult& run) {
    std::string text;
    for (const wintest::SeenBox& box : run.boxes) {
        text.append("[").append(wintest::utf8(box.caption)).append("] ");
        text.append(wintest::utf8(box.text)).append("\n");
    }
    return text;
}

}  // namespace consoletest
