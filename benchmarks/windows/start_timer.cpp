// Times Windows process starts from inside Windows (here: Wine), so that the
// figures hold no Linux-side start-up of the Windows runtime.
//
//   start_timer.exe REPETITIONS "COMMAND 1" "COMMAND 2" ...
//
// Starts the commands in turn, REPETITIONS rounds, waiting for each to end;
// each start is timed with QueryPerformanceCounter around CreateProcessW and
// the wait. Prints one line per command, in order: the median, the quartiles,
// the number of runs and the exit code. Taking turns keeps slow drifts of the
// machine out of the comparison.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "run_quartiles.h"

namespace {

struct Runs {
    std::vector<double> milliseconds;
    DWORD firstExitCode = 0;
    bool exitCodesDiffer = false;
};

bool timeOneStart(const wchar_t* command, double frequency, Runs& runs) {
    std::wstring line = command;  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER begin, end;
    QueryPerformanceCounter(&begin);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fwprintf(stderr, L"CreateProcessW failed (%lu): %ls\n", GetLastError(), command);
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (runs.milliseconds.empty()) runs.firstExitCode = code;
    else if (code != runs.firstExitCode) runs.exitCodesDiffer = true;
    runs.milliseconds.push_back(1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / frequency);
    return true;
}

void report(const char* label, const Runs& runs) {
    std::printf("%s", label);
    varkel::timing::printQuartiles(runs.milliseconds);
    std::printf(" runs=%zu exit_code=%lu%s\n", runs.milliseconds.size(), runs.firstExitCode,
                runs.exitCodesDiffer ? " (exit codes differ)" : "");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: start_timer.exe REPETITIONS \"COMMAND 1\" [\"COMMAND 2\" ...]\n");
        return 2;
    }
    const int repetitions = _wtoi(argv[1]);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const auto ticks = static_cast<double>(frequency.QuadPart);
    const int commands = argc - 2;
    std::vector<Runs> runs(static_cast<std::size_t>(commands));
    // One untimed round first: it loads the files into the cache and warms
    // the Wine server.
    Runs warmUp;
    for (int c = 0; c < commands; ++c)
        if (!timeOneStart(argv[2 + c], ticks, warmUp)) return 1;
    for (int i = 0; i < repetitions; ++i)
        for (int c = 0; c < commands; ++c)
            if (!timeOneStart(argv[2 + c], ticks, runs[static_cast<std::size_t>(c)])) return 1;
    bool differ = false;
    for (int c = 0; c < commands; ++c) {
        char label[16];
        std::snprintf(label, sizeof label, "command%d", c + 1);
        report(label, runs[static_cast<std::size_t>(c)]);
        differ = differ || runs[static_cast<std::size_t>(c)].exitCodesDiffer;
    }
    return differ ? 3 : 0;
}
