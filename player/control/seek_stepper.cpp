#include "seek_stepper.h"

#include <algorithm>

namespace corvex {
namespace {

constexpr int64_t kShortStepMs = 10000;
constexpr int64_t kLongStepMs = 60000;
constexpr int kShortMoves = 6;

} // namespace

void SeekStepper::press(Direction direction, int64_t positionMs, int64_t lengthMs) {
    direction_ = direction;
    seeking_ = true;
    counting_ = false;
    moves_ = 0;
    start_ = positionMs;
    target_ = positionMs;
    length_ = lengthMs;
    int64_t step = direction == Direction::Back ? -kShortStepMs : kShortStepMs;
    target_ = std::clamp<int64_t>(target_ + step, 0, length_);
}

int64_t SeekStepper::tick() {
    if (!seeking_) {
        return target_;
    }
    if (!counting_) {
        counting_ = true;
        moves_ = 0;
        return target_;
    }
    move();
    return target_;
}

void SeekStepper::move() {
    ++moves_;
    int64_t step = moves_ <= kShortMoves ? kShortStepMs : kLongStepMs;
    if (direction_ == Direction::Back) {
        step = -step;
    }
    target_ = std::clamp<int64_t>(target_ + step, 0, length_);
}

SeekStepper::Release SeekStepper::release() {
    Release result;
    if (!seeking_) {
        return result;
    }
    seeking_ = false;
    if (target_ != start_) {
        result.seekTo = target_;
    }
    if (target_ == length_) {
        result.rewindEnabled = true;
        result.forwardEnabled = false;
    } else {
        result.rewindEnabled = target_ > 0;
        result.forwardEnabled = true;
    }
    return result;
}

} // namespace corvex
