#include "input/open_input_registry.h"

#include <array>
#include <mutex>

namespace cvx::ports {

namespace {

struct RegisteredInput {
    HMIDIIN handle = nullptr;
    core::CvxClient* client = nullptr;
};

std::mutex& registryLock() {
    static std::mutex lock;
    return lock;
}

std::array<RegisteredInput, core::kPortCount>& registry() {
    static std::array<RegisteredInput, core::kPortCount> entries;
    return entries;
}

} // namespace

bool registerInput(HMIDIIN handle, core::CvxClient* client) {
    std::lock_guard guard(registryLock());
    for (RegisteredInput& entry : registry()) {
        if (entry.handle == nullptr) {
            entry = RegisteredInput{handle, client};
            return true;
        }
    }
    return false;
}

void unregisterInput(HMIDIIN handle) {
    std::lock_guard guard(registryLock());
    for (RegisteredInput& entry : registry()) {
        if (entry.handle == handle) {
            entry = RegisteredInput{};
        }
    }
}

core::CvxClient* clientOfInput(HMIDIIN handle) {
    std::lock_guard guard(registryLock());
    for (const RegisteredInput& entry : registry()) {
        if (handle != nullptr && entry.handle == handle) {
            return entry.client;
        }
    }
    return nullptr;
}

} // namespace cvx::ports
