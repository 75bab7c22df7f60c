// The state of the 16 MIDI channels as the status view shows it: the last value seen of
// every status item (-1 = nothing received), followed from a stream of channel messages,
// with the bank, RPN and NRPN numbers assembled from their controller halves.
//
// Threads: not synchronised; the program keeps one, updated and read on the user-interface
// thread (the monitors feed it there).
#pragma once

#include "views/status_items.h"

#include <array>
#include <cstdint>
#include <optional>

namespace corvex {

using StatusValues = std::array<std::array<int16_t, kStatusItems>, kStatusChannels>;

// A program change as the status data saw it: the frame hands it to the panels.
struct PatchSeen {
    unsigned channel = 0;
    unsigned program = 0;
    unsigned bank = 0;
    unsigned bankFlags = 0; // bit 1: MSB received, bit 0: LSB received since the last one
};

class ChannelStatus {
public:
    ChannelStatus();

    // Follows one short message (status | data1 << 8 | data2 << 16). Returns whether any
    // item changed; other messages than channel messages are ignored.
    bool update(uint32_t message);
    // The program change the last update() saw, if it was one.
    std::optional<PatchSeen> lastPatchSeen() const { return patchSeen_; }

    // Forgets everything: all items -1, parameter numbers and bank halves cleared.
    void clear();
    // Replaces every value (a loaded snapshot); the parameter state is cleared.
    void assign(const StatusValues& values);

    const StatusValues& values() const { return values_; }
    int value(unsigned channel, unsigned item) const { return values_[channel][item]; }

private:
    enum class Parameter { None, Rpn, Nrpn };
    struct Pending {
        int rpnLsb = -1, rpnMsb = -1, nrpnLsb = -1, nrpnMsb = -1;
        int dataMsb = -1, dataLsb = -1; // data entry of the current NRPN
        int bankMsb = -1, bankLsb = -1;
        bool bankMsbSeen = false, bankLsbSeen = false;
        Parameter current = Parameter::None;
    };

    bool set(unsigned channel, unsigned item, int value);
    bool controlChange(unsigned channel, unsigned controller, unsigned value);
    bool programChange(unsigned channel, unsigned program);
    bool dataEntry(unsigned channel);

    StatusValues values_{};
    std::array<Pending, kStatusChannels> pending_{};
    std::optional<PatchSeen> patchSeen_;
};

} // namespace corvex
