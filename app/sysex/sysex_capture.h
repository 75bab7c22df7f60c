// One capture of incoming SysEx: each notification's bytes are read into the receive buffer
// and then, by the mode, written to the dump file (the buffer reset), handed over as plain
// hex for the display pane (the buffer reset), or kept in the buffer until the end. Counts
// the bytes the engine announced and the bytes actually taken. A full buffer stops reading:
// every byte taken so far stays, and finish() reports the shortfall.
// User-interface thread only.
#pragma once

#include "sysex/sysex_receive_buffer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace corvex {

enum class SysExCaptureMode { KeepInBuffer, FillAsReceived, DumpToFile };

class SysExCapture {
public:
    // `dumpFd` is the open dump file for DumpToFile (not closed here).
    SysExCapture(SysExReceiveBuffer& buffer, SysExCaptureMode mode, int dumpFd = -1);

    // A notification of `announced` new bytes; `copy` is GetSysExData. Returns the plain hex
    // of the bytes read in FillAsReceived mode (empty otherwise).
    std::string captured(size_t announced, const SysExReceiveBuffer::Copy& copy);
    // At the end of a capture: reads whatever the engine still holds, announced or not, a
    // page at a time, by the same mode. Returns the plain hex as captured() does.
    std::string drain(const SysExReceiveBuffer::Copy& copy);

    uint64_t bytesReported() const { return reported_; }
    uint64_t bytesCopied() const { return copied_; }
    bool overflowed() const { return buffer_.full(); }
    bool dumpFailed() const { return dumpFailed_; }

    // The warning to show at Stop, empty when every announced byte was taken: "Bytes
    // Reported by low-level input: %d\nBytes Copied into Receive Buffer: %d", preceded by
    // the reason when the buffer was full or the dump file could not be written.
    std::string shortfallMessage() const;

private:
    // Writes or converts what was just read, by the mode.
    std::string handOn();

    SysExReceiveBuffer& buffer_;
    SysExCaptureMode mode_;
    int dumpFd_;
    uint64_t reported_ = 0;
    uint64_t copied_ = 0;
    bool dumpFailed_ = false;
};

} // namespace corvex
