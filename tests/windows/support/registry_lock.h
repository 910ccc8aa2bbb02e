// Serialises tests that read or write the same registry keys (for example
// "Software\Orvane\Varkel") across test processes: CTest may run cases of
// several programs at once inside one Wine session.
#pragma once

#include <windows.h>

namespace wintest {

// Holds a named mutex, shared by every process of the wineserver (or Windows
// session), from construction to destruction.
class RegistryLock {
public:
    RegistryLock();
    ~RegistryLock();
    RegistryLock(const RegistryLock&) = delete;
    RegistryLock& operator=(const RegistryLock&) = delete;

private:
    HANDLE mutex_ = nullptr;
};

}  // namespace wintest
