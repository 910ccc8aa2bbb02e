// A second baseline: a GUI program that does only the system work every start
// of the launcher includes, loading the same jvm.dll, and exits.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    HMODULE jvm = LoadLibraryW(L"java\\bin\\server\\jvm.dll");
    return jvm ? 0 : 1;
}
