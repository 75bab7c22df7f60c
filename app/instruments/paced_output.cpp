#include "instruments/paced_output.h"

namespace corvex {

void PacedOutput::send(const KeyboardMessage& message) {
    queue_.push_back({message, -1});
}

void PacedOutput::pause(int ms) {
    if (ms > 0) {
        queue_.push_back({{}, ms});
    }
}

int64_t PacedOutput::drain(int64_t nowMs) {
    while (!queue_.empty()) {
        if (pauseEnd_ >= 0) {
            if (nowMs < pauseEnd_) {
                return pauseEnd_ - nowMs;
            }
            pauseEnd_ = -1;
        }
        const Item item = queue_.front();
        queue_.pop_front();
        if (item.pauseMs >= 0) {
            pauseEnd_ = nowMs + item.pauseMs;
        } else {
            sender_(item.message);
        }
    }
    pauseEnd_ = -1;
    return kIdle;
}

void PacedOutput::flush() {
    while (!queue_.empty()) {
        const Item item = queue_.front();
        queue_.pop_front();
        if (item.pauseMs < 0) {
            sender_(item.message);
        }
    }
    pauseEnd_ = -1;
}

} // namespace corvex
