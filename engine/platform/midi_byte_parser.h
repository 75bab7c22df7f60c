// The byte-stream parser of an input port, as a hardware port's driver parses its wire:
//
// - Realtime bytes (0xF8-0xFF) are messages of their own wherever they appear, also inside
//   another message or inside SysEx, and change no state.
// - Channel status bytes (0x80-0xEF) set the running status; data bytes without a status
//   byte continue the running status. System common (0xF1-0xF7) and SysEx clear it.
// - 0xF0 starts SysEx: its bytes (F0, data, F7) are handed out one by one for the port
//   to stream into its buffers. A status byte other than realtime and F7 ends SysEx
//   without an F7 (SysExAbort), then acts as itself.
// - Errors (delivered as MIM_ERROR): a data byte with no status to continue, a stray F7,
//   and an incomplete message cut short by a status byte (its bytes so far, packed).
//
// Each action carries the arrival time of the first byte of its message.
#pragma once

#include <cstdint>

namespace cvx::platform {

class MidiByteParser {
public:
    enum class Kind : uint8_t {
        Short,      // a complete message: `message` packed status | d1 << 8 | d2 << 16
        Error,      // an invalid or cut-off message, packed the same way
        SysExByte,  // one byte of SysEx to store (F0 starts, data continues)
        SysExEnd,   // the F7 that ends SysEx: store it and hand the buffer back
        SysExAbort, // SysEx ended by another status byte: hand the buffer back as it is
    };
    struct Action {
        Kind kind;
        uint8_t byte;     // SysExByte / SysExEnd
        uint32_t message; // Short / Error
        uint32_t time;    // arrival time of the message's first byte
    };
    static constexpr int kMaxActions = 3;

    // Parses one byte that arrived at `time`; writes up to kMaxActions actions, returns
    // their count.
    int feed(uint8_t byte, uint32_t time, Action* out);
    void reset();

    bool inSysEx() const { return inSysEx_; }
    uint8_t runningStatus() const { return runningStatus_; }

private:
    uint8_t runningStatus_ = 0; // channel status to continue, 0 = none
    uint8_t status_ = 0;        // status of the message being collected, 0 = none
    uint8_t needed_ = 0;
    uint8_t have_ = 0;
    uint8_t data_[2] = {0, 0};
    uint32_t time_ = 0;
    bool inSysEx_ = false;
};

} // namespace cvx::platform
