#include "sysex/sysex_engine.h"

#include "cvxlib.h"

#include <algorithm>
#include <limits>

namespace corvex {

uint16_t EngineSysEx::sendPiece(std::span<const uint8_t> piece) {
    if (client_ == 0) {
        return kSysExNoOutput;
    }
    // The call takes a mutable pointer but only reads the bytes.
    auto* bytes = const_cast<char*>(reinterpret_cast<const char*>(piece.data()));
    return SendSysEx(client_, bytes, static_cast<uint16_t>(std::min<size_t>(piece.size(), 0xFFFF)));
}

bool EngineSysEx::startCapture(HWND target) {
    return client_ != 0 && DivertSysExStart(client_, target) != 0;
}

size_t EngineSysEx::copyCaptured(uint8_t* destination, size_t capacity) {
    if (client_ == 0) {
        return 0;
    }
    auto length =
        static_cast<uint32_t>(std::min<size_t>(capacity, std::numeric_limits<uint32_t>::max()));
    return GetSysExData(client_, destination, length);
}

void EngineSysEx::stopCapture() {
    if (client_ != 0) {
        DivertSysExStop(client_);
    }
}

bool EngineSysEx::setCaptureBuffers(uint16_t count, uint16_t size) {
    return client_ != 0 && DivertSysExSet(client_, count, size) != 0;
}

void EngineSysEx::sendShortMessage(const SysExShortMessage& message) {
    if (client_ != 0) {
        corvexEvent(client_, message.status, message.channel, message.data1, message.data2, 0);
    }
}

} // namespace corvex

namespace corvex {

size_t sendScratchPad(SysExEngine& engine, std::string_view text, size_t selectionStart,
                      size_t selectionEnd) {
    size_t sent = 0;
    for (std::string_view line : scratchPadLines(text, selectionStart, selectionEnd)) {
        if (auto message = scratchPadMessage(line)) {
            engine.sendShortMessage(*message);
            ++sent;
        }
    }
    return sent;
}

} // namespace corvex
