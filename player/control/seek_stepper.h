// Hold-to-seek with Rewind and Forward. The press moves the target 10 s from the current
// position at once; while the button is held, the first tick of the 1-second timer only
// restarts the step count, each following tick moves the target a further 10 s for the
// first six moves and 60 s from the seventh move on, always within 0 and the length. The
// release says where to seek (when the target differs from where the press started) and
// which of Rewind and Forward are enabled afterwards.
//
// A plain value: one thread.
#pragma once

#include <cstdint>
#include <optional>

namespace corvex {

class SeekStepper {
public:
    enum class Direction { Back, Forward };

    struct Release {
        std::optional<int64_t> seekTo; // milliseconds
        bool rewindEnabled = false;
        bool forwardEnabled = false;
    };

    void press(Direction direction, int64_t positionMs, int64_t lengthMs);
    // One tick of the timer while seeking; returns the target to show.
    int64_t tick();
    Release release();

    bool seeking() const { return seeking_; }
    int64_t targetMs() const { return target_; }

private:
    void move();

    Direction direction_ = Direction::Forward;
    bool seeking_ = false;
    bool counting_ = false; // the first tick after the press has passed
    int moves_ = 0;
    int64_t start_ = 0;
    int64_t target_ = 0;
    int64_t length_ = 0;
};

} // namespace corvex
