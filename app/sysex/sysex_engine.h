// What a SysEx transfer asks of the engine: sending one piece, capturing incoming SysEx for a
// message target, and sending short messages. An interface so the transfer logic is tested
// with a recording engine; EngineSysEx answers it through the application's engine client.
// User-interface thread only.
#pragma once

#include "sysex/sysex_scratch_pad.h"

#include "cvx_platform.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace corvex {

// Results of sending a piece, as the engine gives them.
inline constexpr uint16_t kSysExSent = 0;
inline constexpr uint16_t kSysExNoOutput = 5;
inline constexpr uint16_t kSysExNoFreeBuffer = 7;

class SysExEngine {
public:
    virtual ~SysExEngine() = default;
    // Queues one piece (at most 65535 bytes) to every open output passing SysEx.
    virtual uint16_t sendPiece(std::span<const uint8_t> piece) = 0;
    virtual bool startCapture(HWND target) = 0;
    // Copies up to `capacity` captured bytes; 0 when nothing waits.
    virtual size_t copyCaptured(uint8_t* destination, size_t capacity) = 0;
    virtual void stopCapture() = 0;
    // The input buffer count and size of the capture; false while a capture runs.
    virtual bool setCaptureBuffers(uint16_t count, uint16_t size) = 0;
    virtual void sendShortMessage(const SysExShortMessage& message) = 0;
};

// The engine through a client of the client API (0: every call fails).
class EngineSysEx final : public SysExEngine {
public:
    explicit EngineSysEx(uint64_t client) : client_(client) {}
    uint64_t client() const { return client_; }
    void setClient(uint64_t client) { client_ = client; }

    uint16_t sendPiece(std::span<const uint8_t> piece) override;
    bool startCapture(HWND target) override;
    size_t copyCaptured(uint8_t* destination, size_t capacity) override;
    void stopCapture() override;
    bool setCaptureBuffers(uint16_t count, uint16_t size) override;
    void sendShortMessage(const SysExShortMessage& message) override;

private:
    uint64_t client_;
};

} // namespace corvex

namespace corvex {

// "Send Scratch Pad": each non-empty line of the range the selection covers (the whole text
// without one) that holds bytes goes out as one short message. Returns how many were sent.
size_t sendScratchPad(SysExEngine& engine, std::string_view text, size_t selectionStart,
                      size_t selectionEnd);

} // namespace corvex
