// Runs out of memory along one route, named by its argument, with the
// launcher's replacements of the standard library's allocation and failure
// functions (VKJavaLauncher/win/library_replacements.cpp) and the launcher's
// build without exceptions. Its new-handler ends the process with
// kHandledExitCode, as the launcher's reports out of memory and ends; any
// other end (abort, a crash) means a route escaped the handler.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "memory_exhaustion_probe.h"

namespace {

void onOutOfMemory() { ExitProcess(probe::kHandledExitCode); }

// More than any address space holds; volatile, so that the compiler cannot
// see the size and refuse it at compile time.
volatile std::size_t impossibleSize = SIZE_MAX / 4;

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::set_new_handler(onOutOfMemory);
    const std::wstring route = argc > 1 ? argv[1] : L"";
    if (route == probe::kOperatorNew) {
        void* block = ::operator new(impossibleSize);
        ::operator delete(block);
    } else if (route == probe::kStringBeyondMaxSize) {
        std::string text;
        text.reserve(text.max_size() + (impossibleSize > 0 ? 1 : 0));
    } else if (route == probe::kVectorBeyondMaxSize) {
        std::vector<std::uint64_t> items;
        items.reserve(items.max_size() + (impossibleSize > 0 ? 1 : 0));
    } else if (route == probe::kSmallAllocations) {
        // Ordinary allocations succeed and are freed: the probe ends normally.
        std::vector<std::wstring> texts(1000, std::wstring(100, L'x'));
        return texts.size() == 1000 ? 0 : 1;
    }
    return 0;
}
