// The console of a process under test, driven from the test program as a user
// at that console would: the test program leaves its own console, attaches to
// the other process's one as a second client, reads its screen buffer,
// measures it and its window, and writes input events into it.
#pragma once

#include <windows.h>

#include <string>

namespace consoletest {

class AttachedConsole {
public:
    AttachedConsole() = default;
    ~AttachedConsole();
    AttachedConsole(const AttachedConsole&) = delete;
    AttachedConsole& operator=(const AttachedConsole&) = delete;

    // Attaches to the console of process, waiting until the process has one.
    // False when the process ended first or the time ran out.
    bool attach(const PROCESS_INFORMATION& process, DWORD timeoutMs);

    // The screen buffer's text: one line a row, trailing blanks and empty
    // rows at the end left out.
    std::wstring screen() const;
    // Waits until the screen shows text; false when it did not in time.
    bool waitForScreenText(const std::wstring& text, DWORD timeoutMs) const;

    COORD bufferSize() const;
    COORD cursor() const;
    SIZE windowSize() const;
    // The size of one character cell in pixels.
    COORD cellSize() const;

    bool write(const INPUT_RECORD& event) const;
    DWORD pendingEvents() const;

private:
    HANDLE output_ = INVALID_HANDLE_VALUE;
    HANDLE input_ = INVALID_HANDLE_VALUE;
    bool attached_ = false;
};

// Input events as the console delivers them.
INPUT_RECORD keyEvent(WORD virtualKey, wchar_t character, bool down);
INPUT_RECORD mouseClick(SHORT column, SHORT row);
// A wheel turn; its delta lies where a key event keeps its virtual-key code.
INPUT_RECORD mouseWheel(SHORT delta);
INPUT_RECORD focusEvent(bool gained);
INPUT_RECORD bufferSizeEvent(SHORT columns, SHORT rows);
INPUT_RECORD menuEvent(UINT commandId);

// Whether process ends within waitMs.
bool endsWithin(HANDLE process, DWORD waitMs);

}  // namespace consoletest
