#ifndef COMMON_LOCKED_VALUE_H
#define COMMON_LOCKED_VALUE_H

#include <mutex>
#include <utility>

// A value one thread writes and another reads whole: every read gets a copy
// of one complete write, never a half-written text.
template <typename T>
class LockedValue {
public:
    void Set(const T &value) {
        std::lock_guard<std::mutex> lock(lock_);
        value_ = value;
    }
    T Get() const {
        std::lock_guard<std::mutex> lock(lock_);
        return value_;
    }
    // Hands a value over whole without copying it (for values that cannot be copied).
    void Put(T value) {
        std::lock_guard<std::mutex> lock(lock_);
        value_ = std::move(value);
    }
    T Take() {
        std::lock_guard<std::mutex> lock(lock_);
        T taken = std::move(value_);
        value_ = T{};
        return taken;
    }
    // Changes the value in place under the lock.
    template <typename Change>
    void Update(Change change) {
        std::lock_guard<std::mutex> lock(lock_);
        change(value_);
    }

private:
    mutable std::mutex lock_;
    T value_{};
};

#endif
