// A message target for tests that records every post.
#pragma once

#include "cvx_platform.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace cvx::test {

struct Post {
    uint32_t msg;
    uintptr_t wParam;
    intptr_t lParam;
    uint32_t time; // timeGetTime() when it was posted
};

class RecordingWindow {
public:
    // Room for many posts, so that recording one allocates nothing on the engine's threads.
    RecordingWindow() : handle_(cvxWindowCreate(&RecordingWindow::record, this)) {
        posts_.reserve(kReserved);
    }
    ~RecordingWindow() { cvxWindowDestroy(handle_); }
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    HWND handle() const { return handle_; }

    std::vector<Post> posts() const {
        std::lock_guard guard(lock_);
        return posts_;
    }

    size_t count(uint32_t msg) const {
        std::lock_guard guard(lock_);
        size_t n = 0;
        for (const Post& p : posts_) {
            n += p.msg == msg ? 1 : 0;
        }
        return n;
    }

    void clear() {
        std::lock_guard guard(lock_);
        posts_.clear();
        posts_.reserve(kReserved);
    }

private:
    static void record(void* user, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
        auto* self = static_cast<RecordingWindow*>(user);
        std::lock_guard guard(self->lock_);
        self->posts_.push_back(Post{msg, wParam, lParam, timeGetTime()});
    }

    static constexpr size_t kReserved = 4096;

    HWND handle_;
    mutable std::mutex lock_;
    std::vector<Post> posts_;
};

} // namespace cvx::test
