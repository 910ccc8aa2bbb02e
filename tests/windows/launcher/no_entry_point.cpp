// A library that loads but exports no JNI_CreateJavaVM: what the launcher meets
// when a "jvm.dll" is not a Java runtime's.
#include <windows.h>

extern "C" __declspec(dllexport) int notAJavaRuntime() { return 0; }
