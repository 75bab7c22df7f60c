// The computer keyboard's outgoing messages in order, with pauses between strummed chord
// tones: messages after a pause wait until it has passed, so the caller runs a timer instead
// of sleeping. Order is kept across pauses (a key released during a strum ends its tones
// after they have started).
//
// Threads: the user-interface thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

namespace corvex {

struct KeyboardMessage {
    uint8_t status = 0; // with the channel
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    bool operator==(const KeyboardMessage&) const = default;
};

class PacedOutput {
public:
    using Sender = std::function<void(const KeyboardMessage&)>;
    static constexpr int64_t kIdle = -1;

    explicit PacedOutput(Sender sender) : sender_(std::move(sender)) {}

    void send(const KeyboardMessage& message);
    // The messages queued after this wait `ms` milliseconds.
    void pause(int ms);
    // Sends what is due at `nowMs` (a monotonic clock); returns the milliseconds until the
    // next queued message is due, or kIdle when the queue is empty.
    int64_t drain(int64_t nowMs);
    // Sends everything queued at once, pauses skipped.
    void flush();
    bool idle() const { return queue_.empty(); }

private:
    struct Item {
        KeyboardMessage message;
        int pauseMs = -1; // >= 0: a pause, not a message
    };

    Sender sender_;
    std::deque<Item> queue_;
    int64_t pauseEnd_ = -1; // the running pause's end, -1 while none runs
};

} // namespace corvex
