// A value one thread writes and another reads on its own, with no order to keep against other
// data (a flag, a counter for display): an atomic with relaxed loads and stores, used like a
// plain variable. On x86 these are plain moves; they only tell the compiler and the thread
// sanitizer that two threads share the value.
#pragma once

#include <atomic>

namespace engine {

template <typename T>
class Relaxed {
public:
    constexpr Relaxed(T v = T{}) : value_(v) {}  // NOLINT: used like the plain value it stands for
    Relaxed(const Relaxed& o) : value_(o.load()) {}
    Relaxed& operator=(const Relaxed& o) {
        store(o.load());
        return *this;
    }
    Relaxed& operator=(T v) {
        store(v);
        return *this;
    }
    operator T() const { return load(); }  // NOLINT
    T load() const { return value_.load(std::memory_order_relaxed); }
    void store(T v) { value_.store(v, std::memory_order_relaxed); }

private:
    std::atomic<T> value_;
};

}  // namespace engine
