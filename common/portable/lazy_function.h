// A function of a library loaded at run time, looked up by name on first use
// and kept: later calls cost one test. A lookup that found nothing is tried
// again next time (cheap: the resolver knows its library is missing).
//
// Constant-initialised and trivially destructible, so that a static one needs
// no guard and no exit-time destructor (the launcher leaves out the runtime
// that those would bring, see library_replacements.cpp).
#pragma once

namespace varkel {

template <typename Function>
class LazyFunction {
public:
    constexpr LazyFunction() = default;
    explicit constexpr LazyFunction(const char* name) : name_(name) {}

    // resolve(name) gives the function's address or null.
    template <typename Resolve>
    Function get(Resolve&& resolve) {
        if (!address_) address_ = resolve(name_);
        return reinterpret_cast<Function>(address_);
    }

    const char* name() const { return name_; }

private:
    const char* name_ = nullptr;
    void* address_ = nullptr;
};

}  // namespace varkel
