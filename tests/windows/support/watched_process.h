// Starting a program under test and answering its message boxes, as a user
// would: the boxes are real windows (class "#32770") on the session's display.
// Works on Windows and under Wine with an X display.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace wintest {

struct SeenBox {
    std::wstring caption;
    std::wstring text;
    bool hasOk = false, hasCancel = false, hasYes = false, hasNo = false;
    std::wstring icon;  // "error", "warning", "information", "question" or "none"
    DWORD processId = 0;  // the process that showed it
};

// Picks the button to press for a box; the default presses OK, or No on a
// Yes/No box.
using BoxAnswer = std::function<int(const SeenBox&)>;
int defaultAnswer(const SeenBox& box);

struct RunResult {
    DWORD exitCode = 0;
    bool timedOut = false;
    DWORD startError = 0;  // GetLastError of a start that failed (then timedOut too)
    DWORD processId = 0;
    std::vector<SeenBox> boxes;
};

struct RunOptions {
    std::wstring workingDirectory;  // empty: the driver's own
    BoxAnswer answer = defaultAnswer;
    DWORD timeoutMs = 60000;
    // Called once the process has started (for example to drive its console).
    std::function<void(const PROCESS_INFORMATION&)> onStarted;
    // Watches the processes the program starts too, directly or not: their
    // boxes are answered, also after the program itself has ended, and they
    // are killed with it when it outlives the timeout.
    bool watchDescendants = false;
    // Called for each dialog window before it is read as a box, with the time
    // waited so far; true when it drives that window itself (a wizard page),
    // which is then neither read nor answered.
    using Driver = std::function<bool(HWND, DWORD waitedMs)>;
    Driver drive;
};

// Starts commandLine (the program path quoted by the caller when needed),
// watches its boxes until it ends and returns its exit code with every box it
// showed, in order. The process is killed when it outlives the timeout.
RunResult runWatched(const std::wstring& commandLine, const RunOptions& options = {});

// Every message box window currently shown by a process.
std::vector<HWND> findBoxes(DWORD processId);
SeenBox readBox(HWND box);
// Reads each of boxes that is not in answered yet (after letting it finish
// drawing), hands it to seen, then presses the button answer picks for it.
void answerNewBoxes(const std::vector<HWND>& boxes, std::set<HWND>& answered, const BoxAnswer& answer,
                    const std::function<void(const SeenBox&)>& seen);

// The processes that run now, from one snapshot.
std::vector<PROCESSENTRY32W> runningProcesses();
// The process and every process it started, directly or not, that still runs.
std::set<DWORD> processTree(DWORD root);

}  // namespace wintest
