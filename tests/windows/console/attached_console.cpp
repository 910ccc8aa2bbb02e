#include "attached_console.h"

#include <vector>

namespace consoletest {

namespace {

constexpr DWORD kPollMs = 50;

HANDLE openConsoleDevice(const wchar_t* name) {
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       0, nullptr);
}

std::wstring withoutTrailingBlanks(std::wstring text) {
    text.erase(text.find_last_not_of(L' ') + 1);
    return text;
}

}  // namespace

AttachedConsole::~AttachedConsole() {
    if (output_ != INVALID_HANDLE_VALUE) CloseHandle(output_);
    if (input_ != INVALID_HANDLE_VALUE) CloseHandle(input_);
    if (attached_) FreeConsole();
}

bool AttachedConsole::attach(const PROCESS_INFORMATION& process, DWORD timeoutMs) {
    // A process has at most one console: the test program's own must go first.
    FreeConsole();
    for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
        if (AttachConsole(process.dwProcessId)) {
            attached_ = true;
            output_ = openConsoleDevice(L"CONOUT$");
            input_ = openConsoleDevice(L"CONIN$");
            return output_ != INVALID_HANDLE_VALUE && input_ != INVALID_HANDLE_VALUE;
        }
        if (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0) return false;
    }
    return false;
}

std::wstring AttachedConsole::screen() const {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(output_, &info)) return L"";
    const SHORT columns = info.dwSize.X;
    std::vector<std::wstring> rows;
    std::vector<wchar_t> row(static_cast<size_t>(columns));
    for (SHORT y = 0; y < info.dwSize.Y; ++y) {
        DWORD read = 0;
        if (!ReadConsoleOutputCharacterW(output_, row.data(), static_cast<DWORD>(columns), COORD{0, y}, &read)) break;
        rows.push_back(withoutTrailingBlanks(std::wstring(row.data(), read)));
    }
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    std::wstring text;
    for (const std::wstring& line : rows) text += line + L"\n";
    return text;
}

bool AttachedConsole::waitForScreenText(const std::wstring& text, DWORD timeoutMs) const {
    for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
        if (screen().find(text) != std::wstring::npos) return true;
        Sleep(kPollMs);
    }
    return screen().find(text) != std::wstring::npos;
}

COORD AttachedConsole::bufferSize() const {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(output_, &info);
    return info.dwSize;
}

COORD AttachedConsole::cursor() const {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(output_, &info);
    return info.dwCursorPosition;
}

SIZE AttachedConsole::windowSize() const {
    RECT rect{};
    HWND window = GetConsoleWindow();
    if (!window || !GetWindowRect(window, &rect)) return SIZE{0, 0};
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

COORD AttachedConsole::cellSize() const {
    CONSOLE_FONT_INFO font{};
    if (!GetCurrentConsoleFont(output_, FALSE, &font)) return COORD{0, 0};
    return GetConsoleFontSize(output_, font.nFont);
}

bool AttachedConsole::write(const INPUT_RECORD& event) const {
    DWORD written = 0;
    return WriteConsoleInputW(input_, &event, 1, &written) && written == 1;
}

DWORD AttachedConsole::pendingEvents() const {
    DWORD count = 0;
    GetNumberOfConsoleInputEvents(input_, &count);
    return count;
}

INPUT_RECORD keyEvent(WORD virtualKey, wchar_t character, bool down) {
    INPUT_RECORD event{};
    event.EventType = KEY_EVENT;
    event.Event.KeyEvent.bKeyDown = down ? TRUE : FALSE;
    event.Event.KeyEvent.wRepeatCount = 1;
    event.Event.KeyEvent.wVirtualKeyCode = virtualKey;
    event.Event.KeyEvent.wVirtualScanCode = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    event.Event.KeyEvent.uChar.UnicodeChar = character;
    return event;
}

INPUT_RECORD mouseClick(SHORT column, SHORT row) {
    INPUT_RECORD event{};
    event.EventType = MOUSE_EVENT;
    event.Event.MouseEvent.dwMousePosition = COORD{column, row};
    event.Event.MouseEvent.dwButtonState = FROM_LEFT_1ST_BUTTON_PRESSED;
    return event;
}

INPUT_RECORD mouseWheel(SHORT delta) {
    INPUT_RECORD event{};
    event.EventType = MOUSE_EVENT;
    event.Event.MouseEvent.dwButtonState = static_cast<DWORD>(static_cast<WORD>(delta)) << 16;
    event.Event.MouseEvent.dwEventFlags = MOUSE_WHEELED;
    return event;
}

INPUT_RECORD focusEvent(bool gained) {
    INPUT_RECORD event{};
    event.EventType = FOCUS_EVENT;
    event.Event.FocusEvent.bSetFocus = gained ? TRUE : FALSE;
    return event;
}

INPUT_RECORD bufferSizeEvent(SHORT columns, SHORT rows) {
    INPUT_RECORD event{};
    event.EventType = WINDOW_BUFFER_SIZE_EVENT;
    event.Event.WindowBufferSizeEvent.dwSize = COORD{columns, rows};
    return event;
}

INPUT_RECORD menuEvent(UINT commandId) {
    INPUT_RECORD event{};
    event.EventType = MENU_EVENT;
    event.Event.MenuEvent.dwCommandId = commandId;
    return event;
}

bool endsWithin(HANDLE process, DWORD waitMs) { return WaitForSingleObject(process, waitMs) == WAIT_OBJECT_0; }

}  // namespace consoletest
