#include "registry_lock.h"

namespace wintest {

namespace {
constexpr const wchar_t* kMutexName = L"Local\\VarkelTestRegistryLock";
}

RegistryLock::RegistryLock() : mutex_(CreateMutexW(nullptr, FALSE, kMutexName)) {
    // WAIT_ABANDONED also hands the lock over: a test that crashed holding it
    // left the keys to be cleaned by whoever comes next.
    if (mutex_) WaitForSingleObject(mutex_, INFINITE);
}

RegistryLock::~RegistryLock() {
    if (!mutex_) return;
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
}

}  // namespace wintest
