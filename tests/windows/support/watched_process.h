// Starting a program under test and answering its message boxes, as a user
// would: the boxes are real windows (class "#32770") on the session's display.
// Works on Windows and under Wine with an X display.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace wintest {

struct SeenBox {
    std::wstring caption;
    std::wstring text;
    bool hasOk = false, hasCancel = false, hasYes = false, hasNo = false;
    std::wstring icon;  // "error", "warning", "information", "question" or "none"
};

// Picks the button to press for a box; the default presses OK, or No on a
// Yes/No box.
using BoxAnswer = std::function<int(const SeenBox&)>;
int defaultAnswer(const SeenBox& box);

struct RunResult {
    DWORD exitCode = 0;
    bool timedOut = false;
    std::vector<SeenBox> boxes;
};

struct RunOptions {
    std::wstring workingDirectory;  // empty: the driver's own
    BoxAnswer answer = defaultAnswer;
    DWORD timeoutMs = 60000;
    // Called once the process has started (for example to drive its console).
    std::function<void(const PROCESS_INFORMATION&)> onStarted;
};

// Starts commandLine (the program path quoted by the caller when needed),
// watches its boxes until it ends and returns its exit code with every box it
// showed, in order. The process is killed when it outlives the timeout.
RunResult runWatched(const std::wstring& commandLine, const RunOptions& options = {});

// Every message box window currently shown by a process.
std::vector<HWND> findBoxes(DWORD processId);
SeenBox readBox(HWND box);

}  // namespace wintest
