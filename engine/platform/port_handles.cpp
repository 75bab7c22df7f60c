#include "platform/port_handles.h"

namespace cvx::platform {

namespace {
constexpr int kMaxNesting = 16;
thread_local const void* tStack[kMaxNesting];
thread_local int tDepth = 0;
} // namespace

CallbackScope::CallbackScope(const void* port) : recorded_(tDepth < kMaxNesting) {
    if (recorded_) {
        tStack[tDepth++] = port;
    }
}

CallbackScope::~CallbackScope() {
    if (recorded_) {
        --tDepth;
    }
}

int CallbackScope::depth(const void* port) {
    int count = 0;
    for (int i = 0; i < tDepth; ++i) {
        count += tStack[i] == port ? 1 : 0;
    }
    return count;
}

} // namespace cvx::platform
