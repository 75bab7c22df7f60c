// The notes a player has started and not yet ended, per channel and key, and which
// channels hold the sustain pedal down, so that stopping, pausing, seeking or changing the
// port leaves nothing hanging. Fixed-size, never allocates: used on the timer thread.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace corvex {

class SoundingNotes {
public:
    // Follows one message that was sent (any message; only notes and sustain count).
    void observe(std::span<const uint8_t> message);
    // Calls send(status, data1, data2) with a Note Off for every sounding note and a sustain
    // release for every channel holding it, then forgets them.
    template <typename Send> void release(Send&& send);
    bool anySounding() const;

private:
    static constexpr uint8_t kSustain = 64;
    std::array<std::array<uint8_t, 128>, 16> count_{}; // Note Ons without their Note Off
    std::array<bool, 16> sustain_{};
};

template <typename Send> void SoundingNotes::release(Send&& send) {
    for (uint8_t channel = 0; channel < 16; ++channel) {
        for (uint8_t key = 0; key < 128; ++key) {
            if (count_[channel][key] != 0) {
                send(static_cast<uint8_t>(0x80 | channel), key, uint8_t{0});
                count_[channel][key] = 0;
            }
        }
        if (sustain_[channel]) {
            send(static_cast<uint8_t>(0xB0 | channel), kSustain, uint8_t{0});
            sustain_[channel] = false;
        }
    }
}

} // namespace corvex
