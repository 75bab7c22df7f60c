#include "input/orphan_buffers.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace cvx::input {

namespace {

std::mutex& orphanLock() {
    static std::mutex lock;
    return lock;
}

std::vector<core::SysExBuffer*>& orphans() {
    static std::vector<core::SysExBuffer*> buffers;
    return buffers;
}

} // namespace

void adoptOrphan(core::SysExBuffer* buffer) {
    buffer->next = nullptr;
    std::lock_guard guard(orphanLock());
    orphans().push_back(buffer);
}

bool freeIfOrphan(MIDIHDR* header) {
    std::lock_guard guard(orphanLock());
    auto& list = orphans();
    auto found = std::find_if(list.begin(), list.end(),
                              [&](core::SysExBuffer* b) { return &b->header == header; });
    if (found == list.end()) {
        return false;
    }
    core::SysExBuffer::destroy(*found);
    list.erase(found);
    return true;
}

} // namespace cvx::input
