// Opens armed to fail once (vmidiFailOpen): the next open of a device returns the code armed
// for it, later opens succeed again. The MIDI service asks on every open; the test tap arms
// and cancels. Any thread; each call is atomic.
#pragma once

#include "cvx_platform.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace cvx::platform {

struct BackendSlot;

class OpenFailures {
public:
    // The open a failure is armed for: a device of a backend, or (outputs only) the mapper.
    struct Target {
        bool output = false;
        bool mapper = false;
        const BackendSlot* backend = nullptr; // unused for the mapper
        uint64_t key = 0;
    };

    // Arms the next open of `target` to fail with `code`, replacing what was armed for it;
    // code 0 only cancels.
    void arm(const Target& target, MMRESULT code);
    // Whether an open of `target` is to fail; if so the failure is used up and its code
    // written to `code`.
    bool take(const Target& target, MMRESULT& code);
    void clear();

private:
    struct Armed {
        Target target;
        MMRESULT code = 0;
    };
    bool takeLocked(const Target& target, MMRESULT& code);

    std::mutex mutex_;
    std::vector<Armed> armed_;
};

} // namespace cvx::platform
