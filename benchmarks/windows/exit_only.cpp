// The baseline: a Windows GUI program, linked like the launcher, that only exits.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return 0; }
