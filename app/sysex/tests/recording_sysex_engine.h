// An engine for the transfer tests: records every piece and short message, refuses the
// pieces whose numbers are listed with the result given, and hands out queued capture bytes.
#pragma once

#include "sysex/sysex_engine.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace corvex::testing {

class RecordingSysExEngine : public SysExEngine {
public:
    uint16_t sendPiece(std::span<const uint8_t> piece) override {
        size_t attempt = attempts++;
        if (auto refusal = refusals.find(attempt); refusal != refusals.end()) {
            return refusal->second;
        }
        pieces.emplace_back(piece.begin(), piece.end());
        return kSysExSent;
    }
    bool startCapture(HWND) override { return captureWorks; }
    size_t copyCaptured(uint8_t* destination, size_t capacity) override {
        size_t n = std::min(capacity, waiting.size());
        std::memcpy(destination, waiting.data(), n);
        waiting.erase(waiting.begin(), waiting.begin() + static_cast<std::ptrdiff_t>(n));
        return n;
    }
    void stopCapture() override { ++stops; }
    bool setCaptureBuffers(uint16_t, uint16_t) override { return true; }
    void sendShortMessage(const SysExShortMessage& message) override {
        messages.push_back(message);
    }

    std::map<size_t, uint16_t> refusals; // attempt number -> result
    size_t attempts = 0;
    std::vector<std::vector<uint8_t>> pieces;
    std::vector<SysExShortMessage> messages;
    std::vector<uint8_t> waiting;
    bool captureWorks = true;
    int stops = 0;
};

} // namespace corvex::testing
