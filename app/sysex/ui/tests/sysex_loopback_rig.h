// An engine client on a loopback cable for the transfer tests: output cable `cable` open
// with SysEx buffers and fed only by the generated-event port (so nothing comes back out),
// its input open with SysEx buffers; a transfer on that client whose engine records when
// each piece was sent.
// Threads: the test's thread (it plays the user-interface thread).
#pragma once

#include "sysex/ui/sysex_transfer.h"

#include "cvx_platform.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace corvex::testing {

// Forwards to the client's engine and notes the time of every piece sent.
class TimedSysExEngine : public SysExEngine {
public:
    explicit TimedSysExEngine(uint64_t client) : engine_(client) {}
    uint16_t sendPiece(std::span<const uint8_t> piece) override {
        sendTimes.push_back(std::chrono::steady_clock::now());
        return engine_.sendPiece(piece);
    }
    bool startCapture(HWND target) override { return engine_.startCapture(target); }
    size_t copyCaptured(uint8_t* destination, size_t capacity) override {
        return engine_.copyCaptured(destination, capacity);
    }
    void stopCapture() override { engine_.stopCapture(); }
    bool setCaptureBuffers(uint16_t count, uint16_t size) override {
        return engine_.setCaptureBuffers(count, size);
    }
    void sendShortMessage(const SysExShortMessage& message) override {
        engine_.sendShortMessage(message);
    }
    // Milliseconds between successive pieces.
    std::vector<double> gapsMs() const;

    std::vector<std::chrono::steady_clock::time_point> sendTimes;

private:
    EngineSysEx engine_;
};

class SysExLoopbackRig {
public:
    // Opens the ports (on the backends CORVEX_MIDI names) and makes the transfer.
    SysExLoopbackRig(uint16_t inputDevice, uint16_t outputDevice, uint16_t pieceSize);
    ~SysExLoopbackRig();
    SysExLoopbackRig(const SysExLoopbackRig&) = delete;
    SysExLoopbackRig& operator=(const SysExLoopbackRig&) = delete;

    bool ready() const { return input_ != nullptr && output_ != nullptr && transfer_; }
    SysExTransfer& transfer() { return *transfer_; }
    TimedSysExEngine& engine() { return *engine_; }
    SettingsStore& store() { return store_; }
    std::vector<std::string>& warnings() { return warnings_; }
    std::string& dumpPath() { return dumpPath_; }
    // Sets the pacing and capture options as the Configure dialog would.
    void configure(bool cutAfterF7, uint32_t afterF7Ms, uint32_t bufferMs, bool dumpToFile);

private:
    SettingsStore store_;
    HWND mainTarget_ = nullptr;
    uint64_t client_ = 0;
    HMIDIIN input_ = nullptr;
    HMIDIOUT output_ = nullptr;
    uint16_t pieceSize_;
    std::unique_ptr<TimedSysExEngine> engine_;
    std::unique_ptr<SysExTransfer> transfer_;
    std::vector<std::string> warnings_;
    std::string dumpPath_;
};

// A ".syx" image of `size` bytes: whole messages F0 .. F7 of `messageLength` bytes (the last
// one shorter), data bytes counting up.
std::vector<uint8_t> sysExDump(size_t size, size_t messageLength);

} // namespace corvex::testing
