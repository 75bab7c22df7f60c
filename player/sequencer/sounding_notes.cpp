#include "sequencer/sounding_notes.h"

namespace corvex {

void SoundingNotes::observe(std::span<const uint8_t> message) {
    if (message.size() != 3) {
        return;
    }
    uint8_t kind = message[0] & 0xF0;
    uint8_t channel = message[0] & 0x0F;
    uint8_t& count = count_[channel][message[1] & 0x7F];
    if (kind == 0x90 && message[2] != 0) {
        if (count < UINT8_MAX) {
            ++count;
        }
    } else if (kind == 0x80 || kind == 0x90) {
        if (count > 0) {
            --count;
        }
    } else if (kind == 0xB0 && message[1] == kSustain) {
        sustain_[channel] = message[2] >= 64;
    } else if (kind == 0xB0 && (message[1] == 123 || message[1] == 120)) {
        count_[channel].fill(0); // All Notes Off / All Sound Off
    }
}

bool SoundingNotes::anySounding() const {
    for (uint8_t channel = 0; channel < 16; ++channel) {
        if (sustain_[channel]) {
            return true;
        }
        for (uint8_t count : count_[channel]) {
            if (count != 0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace corvex
