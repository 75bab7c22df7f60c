// Engine allocations: every record the engine makes is zero-filled before it is constructed,
// so a record's zero state is its reset state. Never used on real-time paths.
#pragma once

#include <cstdlib>
#include <new>
#include <utility>

namespace cvx::core {

template <class T, class... Args> T* engineNew(Args&&... args) {
    void* memory = std::calloc(1, sizeof(T));
    if (memory == nullptr) {
        return nullptr;
    }
    return new (memory) T(std::forward<Args>(args)...);
}

template <class T> void engineDelete(T* object) {
    if (object != nullptr) {
        object->~T();
        std::free(object);
    }
}

} // namespace cvx::core
