// The state a MIDI file has given each channel up to a point in time: bank and program,
// controller values, the registered parameters set through data entry, the parameter
// selected last, pitch bend and channel pressure. Sending it (chase) before playing from
// the middle of a file makes the rest sound as it does when played from the start.
// Channel mode messages (120-127) and notes are not part of it. UI thread (built from the
// play list when playing starts after a seek, a pause or a port change).
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <vector>

namespace corvex {

struct ShortMessage {
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    bool operator==(const ShortMessage&) const = default;
};

class ChannelState {
public:
    void observe(std::span<const uint8_t> message);
    // In sending order, per channel: bank select, program, controllers, registered
    // parameters (each selected, then its data entry), the last selected parameter again,
    // pitch bend, channel pressure.
    std::vector<ShortMessage> chaseMessages() const;
    // Sent before chaseMessages() when playing starts at this state's point of `wholeFile`
    // (the state after all of the file), so that nothing a later part of the file set stays
    // in force: on each channel where the file sets controllers, bend or pressure, each of
    // them that is not set at this point goes back to its default (bend centred, sustain
    // off, volume 100, pan centre, ...), preceded by "Reset All Controllers" when nothing
    // at all is set on the channel here.
    std::vector<ShortMessage> resetMessages(const ChannelState& wholeFile) const;

    // Registered parameters 0-5: bend range, fine and coarse tuning, tuning program and bank,
    // modulation depth range.
    static constexpr int kChasedRegisteredParameters = 6;

private:
    static constexpr int16_t kUnset = -1;
    struct Channel {
        int16_t program = kUnset;
        std::array<int16_t, 120> controller;
        std::array<std::array<int16_t, 2>, kChasedRegisteredParameters> registered; // data MSB, LSB
        int16_t selectMsb = kUnset; // of the parameter selected last (RPN or NRPN)
        int16_t selectLsb = kUnset;
        bool selectedIsRegistered = true;
        int32_t bend = kUnset;
        int16_t pressure = kUnset;
        // What any message so far set, whatever a Reset All Controllers did since.
        std::bitset<120> touched;
        bool bendTouched = false;
        bool pressureTouched = false;
        Channel();
        bool anySet() const;
    };
    void controlChange(Channel& channel, uint8_t number, uint8_t value);
    static bool isParameterController(uint8_t number);
    static void appendReset(std::vector<ShortMessage>& out, uint8_t index, const Channel& here,
                            const Channel& whole);
    static void appendChannel(std::vector<ShortMessage>& out, uint8_t index,
                              const Channel& channel);

    std::array<Channel, 16> channels_;
};

} // namespace corvex
