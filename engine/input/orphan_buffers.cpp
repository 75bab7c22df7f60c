#include "input/orphan_buffers.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

namespace cvx::input {

namespace {

struct Orphan {
    core::SysExBuffer* buffer;
    const core::CvxClient* owner;
};

std::mutex& orphanLock() {
    static std::mutex lock;
    return lock;
}

std::vector<Orphan>& orphans() {
    static std::vector<Orphan> buffers;
    return buffers;
}

} // namespace

void adoptOrphan(core::SysExBuffer* buffer, const core::CvxClient* owner) {
    buffer->next = nullptr;
    std::lock_guard guard(orphanLock());
    try {
        orphans().push_back(Orphan{buffer, owner});
    } catch (const std::bad_alloc&) {
        // Not freed: the application still holds the buffer. Without a place on the list it
        // is never freed, which is better than freeing it under the application.
    }
}

bool freeIfOrphan(MIDIHDR* header) {
    std::lock_guard guard(orphanLock());
    auto& list = orphans();
    auto found = std::find_if(list.begin(), list.end(),
                              [&](const Orphan& o) { return &o.buffer->header == header; });
    if (found == list.end()) {
        return false;
    }
    core::SysExBuffer::destroy(found->buffer);
    list.erase(found);
    return true;
}

void freeOrphansOf(const core::CvxClient* owner) {
    std::lock_guard guard(orphanLock());
    std::erase_if(orphans(), [&](const Orphan& o) {
        if (o.owner != owner) {
            return false;
        }
        core::SysExBuffer::destroy(o.buffer);
        return true;
    });
}

} // namespace cvx::input
