// A second baseline: a GUI program that does only the system work every start
// of the launcher includes and exits. It imports user32 (as any program that
// can show a message box does; under Wine, loading user32 starts the
// graphics driver, tens of milliseconds) and loads the same jvm.dll.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    // Never true in the benchmark; it only makes user32 an import.
    if (commandLine && commandLine[0] == L'!') MessageBoxW(nullptr, commandLine, L"", MB_OK);
    HMODULE jvm = LoadLibraryW(L"java\\bin\\server\\jvm.dll");
    return jvm ? 0 : 1;
}
