#include "platform/open_failures.h"

namespace cvx::platform {

namespace {

bool sameOpen(const OpenFailures::Target& a, const OpenFailures::Target& b) {
    return a.output == b.output && a.mapper == b.mapper &&
           (a.mapper || (a.backend == b.backend && a.key == b.key));
}

} // namespace

void OpenFailures::arm(const Target& target, MMRESULT code) {
    std::lock_guard guard(mutex_);
    MMRESULT old = 0;
    takeLocked(target, old);
    if (code != MMSYSERR_NOERROR) {
        armed_.push_back({target, code});
    }
}

bool OpenFailures::take(const Target& target, MMRESULT& code) {
    std::lock_guard guard(mutex_);
    return takeLocked(target, code);
}

void OpenFailures::clear() {
    std::lock_guard guard(mutex_);
    armed_.clear();
}

bool OpenFailures::takeLocked(const Target& target, MMRESULT& code) {
    for (auto it = armed_.begin(); it != armed_.end(); ++it) {
        if (sameOpen(it->target, target)) {
            code = it->code;
            armed_.erase(it);
            return true;
        }
    }
    return false;
}

} // namespace cvx::platform
