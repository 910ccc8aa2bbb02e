// The launcher's own global allocation functions and its own versions of the
// functions through which the standard library reports failures: the launcher
// is built without exceptions.
//
// Why: libstdc++'s operator new throws std::bad_alloc, and its failure
// functions sit in one object file with the exception classes, their
// copy-on-write strings, std::random_device and a second std::string. Either
// one brings in the exception runtime, the unwinder and the POSIX thread
// library it locks with: more than 100 KB of a launcher that uses none of it.
// The static linker takes these definitions first and never pulls those in.
//
// A request for more memory than there is, or than a container can hold, goes
// to the launcher's out-of-memory handler (main_windows.cpp), which shows its
// message and ends the process. The other failures are programming errors:
// they end the process as an uncaught exception would.
#include <cstdlib>
#include <new>

namespace {
[[noreturn]] void outOfMemory() {
    if (std::new_handler handler = std::get_new_handler()) handler();
    std::abort();
}

void* allocate(std::size_t size) {
    if (size == 0) size = 1;
    for (;;) {
        if (void* block = std::malloc(size)) return block;
        // The handler may free memory and return; the launcher's never does.
        std::new_handler handler = std::get_new_handler();
        if (!handler) std::abort();
        handler();
    }
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

// These are libstdc++'s own names and signatures (reserved names in namespace
// std, one of them variadic): the point is to stand in for them at link time.
// NOLINTBEGIN(cert-dcl58-cpp, bugprone-reserved-identifier, cert-dcl37-c, cert-dcl51-cpp, cert-dcl50-cpp)
namespace std {

[[noreturn]] void __throw_bad_alloc() { outOfMemory(); }

[[noreturn]] void __throw_bad_array_new_length() { outOfMemory(); }

[[noreturn]] void __throw_length_error(const char*) { outOfMemory(); }

[[noreturn]] void __throw_logic_error(const char*) { abort(); }

[[noreturn]] void __throw_out_of_range(const char*) { abort(); }

[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { abort(); }

}  // namespace std
// NOLINTEND(cert-dcl58-cpp, bugprone-reserved-identifier, cert-dcl37-c, cert-dcl51-cpp, cert-dcl50-cpp)
