#include "splash_libraries.h"

#include <sstream>

#include "standin_protocol.h"

namespace consoletest {

namespace {

constexpr const wchar_t* kSplashRecord = L"splash-record.txt";

// The splash stand-ins are built beside the test program, each bitness in a folder of its own.
void copyInto(const std::wstring& relativeBuilt, const std::wstring& to) {
    wintest::makeDirectories(to.substr(0, to.find_last_of(L'\\')));
    wintest::copyFileOrFail(launchertest::builtFile(relativeBuilt), to);
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

}  // namespace

void addSplashLibraries(const launchertest::Installation& installation, SplashLibraries splash) {
    switch (splash) {
        case SplashLibraries::none:
            break;
        case SplashLibraries::ownBitness:
            copyInto(L"standin64\\splashscreen.dll", installation / L"java\\bin\\splashscreen.dll");
            break;
        case SplashLibraries::otherBitnessFirst:
            copyInto(L"standin32\\splashscreen.dll", installation / L"java\\bin\\splashscreen.dll");
            copyInto(L"standin64\\splashscreen.dll", installation / L"java\\jre\\bin\\splashscreen.dll");
            break;
    }
}

std::vector<std::string> splashRecord(const launchertest::Installation& installation) {
    std::vector<std::string> lines;
    if (!wintest::fileExists(installation / kSplashRecord)) return lines;
    std::istringstream text(wintest::readFileBytes(installation / kSplashRecord));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

wintest::RunResult runAsFromExplorer(const launchertest::Installation& installation, const std::wstring& arguments,
                                     const launchertest::StandinBehaviour& behaviour, wintest::RunOptions options) {
    launchertest::EnvironmentOverride environment;
    environment.set(kSplashRecordVariable, installation / kSplashRecord);
    StartedAsFromExplorer explorerLike;
    return launchertest::launch(installation, arguments, behaviour, std::move(options)).run;
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
