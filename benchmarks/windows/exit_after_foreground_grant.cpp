// A baseline of the hand-over (SINGLE_INSTANCE=1): a GUI program that grants
// the foreground as a launch that hands over does (user32.dll loaded for
// AllowSetForegroundWindow), and exits.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    return AllowSetForegroundWindow(GetCurrentProcessId()) ? 0 : 1;
}
