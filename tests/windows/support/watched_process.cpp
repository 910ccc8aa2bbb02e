#include "watched_process.h"

namespace wintest {

namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kBoxSettleMs = 150;  // lets a box finish drawing its text and icon
constexpr DWORD kKilledExitCode = 0xDEAD;
constexpr DWORD kEndWaitMs = 5000;

struct FindContext {
    DWORD processId;
    std::vector<HWND>* found;
};

BOOL CALLBACK collectBox(HWND window, LPARAM param) {
    auto* ctx = reinterpret_cast<FindContext*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != ctx->processId || !IsWindowVisible(window)) return TRUE;
    wchar_t cls[64] = {};
    GetClassNameW(window, cls, 64);
    if (std::wstring(cls) == L"#32770") ctx->found->push_back(window);
    return TRUE;
}

std::wstring windowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

HWND findIconControl(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (std::wstring(cls) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_ICON) == SS_ICON) return child;
    }
    return nullptr;
}

// Samples every other pixel of a w x h square: of the screen at `origin` when
// `icon` is null, otherwise of `icon` drawn on the dialog face colour.
std::vector<COLORREF> sampleSquare(HDC screen, HICON icon, POINT origin, int w, int h) {
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    if (icon) {
        RECT all{0, 0, w, h};
        FillRect(mem, &all, GetSysColorBrush(COLOR_3DFACE));
        DrawIconEx(mem, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
    } else {
        BitBlt(mem, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    }
    std::vector<COLORREF> pixels;
    for (int y = 0; y < h; y += 2)
        for (int x = 0; x < w; x += 2) pixels.push_back(GetPixel(mem, x, y));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return pixels;
}

// Compares the pixels of the box's icon control with each standard icon drawn
// the same way: icon handles cannot be compared across processes. A box may
// still be painting, or lie under another window, when it is first read: it is
// raised and the screen read again until the icon is recognised or the
// attempts run out.
std::wstring identifyIcon(HWND box) {
    HWND iconControl = findIconControl(box);
    if (!iconControl || !IsWindowVisible(iconControl)) return L"none";
    const int w = GetSystemMetrics(SM_CXICON), h = GetSystemMetrics(SM_CYICON);
    const struct {
        LPCWSTR id;
        const wchar_t* name;
    } icons[] = {{IDI_HAND, L"error"}, {IDI_EXCLAMATION, L"warning"}, {IDI_ASTERISK, L"information"},
                 {IDI_QUESTION, L"question"}};
    constexpr int kAttempts = 40;
    constexpr DWORD kRepaintWaitMs = 100;
    HDC screen = GetDC(nullptr);
    std::vector<std::vector<COLORREF>> references;
    for (const auto& icon : icons) references.push_back(sampleSquare(screen, LoadIconW(nullptr, icon.id), POINT{}, w, h));
    std::wstring result = L"unknown";
    for (int attempt = 0; attempt < kAttempts && result == L"unknown"; ++attempt) {
        if (attempt > 0) {
            SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            Sleep(kRepaintWaitMs);
        }
        RECT r;
        GetWindowRect(iconControl, &r);
        const auto shown = sampleSquare(screen, nullptr, POINT{r.left, r.top}, w, h);
        for (std::size_t i = 0; i < references.size() && result == L"unknown"; ++i)
            if (references[i] == shown) result = icons[i].name;
    }
    ReleaseDC(nullptr, screen);
    return result;
}

// Kills the program and the processes of it that are watched.
void killWatched(const PROCESS_INFORMATION& program, const std::set<DWORD>& watched) {
    for (DWORD process : watched) {
        if (process == program.dwProcessId) continue;
        HANDLE handle = OpenProcess(PROCESS_TERMINATE, FALSE, process);
        if (!handle) continue;
        TerminateProcess(handle, kKilledExitCode);
        CloseHandle(handle);
    }
    TerminateProcess(program.hProcess, kKilledExitCode);
    WaitForSingleObject(program.hProcess, kEndWaitMs);
}

}  // namespace

int defaultAnswer(const SeenBox& box) {
    if (box.hasOk) return IDOK;
    if (box.hasNo) return IDNO;
    return IDCANCEL;
}

std::vector<HWND> findBoxes(DWORD processId) {
    std::vector<HWND> found;
    FindContext ctx{processId, &found};
    EnumWindows(collectBox, reinterpret_cast<LPARAM>(&ctx));
    return found;
}

SeenBox readBox(HWND box) {
    SeenBox seen;
    seen.caption = windowText(box);
    wchar_t buffer[8192] = {};
    GetDlgItemTextW(box, 0xFFFF, buffer, 8192);
    seen.text = buffer;
    seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
    seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
    seen.hasYes = GetDlgItem(box, IDYES) != nullptr;
    seen.hasNo = GetDlgItem(box, IDNO) != nullptr;
    seen.icon = identifyIcon(box);
    GetWindowThreadProcessId(box, &seen.processId);
    return seen;
}

void answerNewBoxes(const std::vector<HWND>& boxes, std::set<HWND>& answered, const BoxAnswer& answer,
                    const std::function<void(const SeenBox&)>& seen) {
    for (HWND box : boxes) {
        if (!answered.insert(box).second) continue;
        Sleep(kBoxSettleMs);
        const SeenBox read = readBox(box);
        seen(read);
        PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(answer(read)), 0);
    }
}

std::vector<PROCESSENTRY32W> runningProcesses() {
    std::vector<PROCESSENTRY32W> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        processes.push_back(entry);
    CloseHandle(snapshot);
    return processes;
}

std::set<DWORD> processTree(DWORD root) {
    std::set<DWORD> tree{root};
    const std::vector<PROCESSENTRY32W> processes = runningProcesses();
    for (bool grew = true; grew;) {
        grew = false;
        for (const PROCESSENTRY32W& process : processes)
            if (tree.count(process.th32ParentProcessID) && tree.insert(process.th32ProcessID).second) grew = true;
    }
    return tree;
}

RunResult runWatched(const std::wstring& commandLine, const RunOptions& options) {
    RunResult result;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring mutableLine = commandLine;
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str(), &si,
                        &pi)) {
        result.startError = GetLastError();
        result.exitCode = 0xFFFFFFFF;
        result.timedOut = true;
        return result;
    }
    result.processId = pi.dwProcessId;
    if (options.onStarted) options.onStarted(pi);
    const auto watched = [&] { return options.watchDescendants ? processTree(pi.dwProcessId) : std::set{pi.dwProcessId}; };
    std::set<HWND> answered;
    for (DWORD waited = kPollMs;; waited += kPollMs) {
        const bool ended = WaitForSingleObject(pi.hProcess, kPollMs) != WAIT_TIMEOUT;
        if (ended && !options.watchDescendants) break;
        for (DWORD process : watched()) {
            std::vector<HWND> boxes = findBoxes(process);
            if (options.drive) std::erase_if(boxes, [&](HWND box) { return options.drive(box, waited); });
            answerNewBoxes(boxes, answered, options.answer, [&](const SeenBox& seen) { result.boxes.push_back(seen); });
        }
        if (ended) break;
        if (waited >= options.timeoutMs) {
            killWatched(pi, watched());
            result.timedOut = true;
            break;
        }
    }
    GetExitCodeProcess(pi.hProcess, &result.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

}  // namespace wintest
