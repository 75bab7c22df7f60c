// The panic reset: the messages that silence every channel, built from the "Panic" section
// of the engine settings file, and the pacing that spaces them. Plain logic, no clock of its
// own: the frame drives PanicRun from a timer on the user-interface thread.
#pragma once

#include "frame_services.h"

#include "ini/engine_settings.h"

#include <cstdint>
#include <vector>

namespace corvex {

// For each channel 0..15: the enabled messages AllNotesOff, PitchBend, SustPedal, ModWheel,
// ResetCtl; a Note Off with velocity 0 for every note when `individualNoteOffs`; then Volume
// and Expression. A value of -1 disables a message; other values are taken as 16-bit values
// whose data bytes are masked to 7 bits ("PitchBend" is split into its low and high 7 bits).
std::vector<ShortMessage> buildPanicSequence(const cvx::profile::PanicSettings& settings,
                                             bool individualNoteOffs);

// "MinDelay" as used: negative values count as 0.
int panicDelayMs(const cvx::profile::PanicSettings& settings);

// Sends a panic sequence with at least `delayMs` between two messages. Times are any
// monotonic millisecond clock.
class PanicRun {
public:
    PanicRun(std::vector<ShortMessage> messages, int delayMs);

    // Sends every message that is due at `nowMs` through `send`: all remaining ones at once
    // when the delay is 0, otherwise at most one, and only when `delayMs` have passed since
    // the previous one. Returns the milliseconds until the next one is due (0 when done).
    template <typename Send> int sendDue(uint64_t nowMs, Send&& send) {
        while (next_ < messages_.size()) {
            if (sentAny_ && nowMs - lastSentMs_ < static_cast<uint64_t>(delayMs_)) {
                return static_cast<int>(static_cast<uint64_t>(delayMs_) - (nowMs - lastSentMs_));
            }
            send(messages_[next_++]);
            sentAny_ = true;
            lastSentMs_ = nowMs;
        }
        return 0;
    }

    bool finished() const { return next_ == messages_.size(); }
    std::size_t sentCount() const { return next_; }
    std::size_t size() const { return messages_.size(); }
    int delayMs() const { return delayMs_; }

private:
    std::vector<ShortMessage> messages_;
    int delayMs_;
    std::size_t next_ = 0;
    bool sentAny_ = false;
    uint64_t lastSentMs_ = 0;
};

} // namespace corvex
