#include "output/output_buffers.h"

#include "midi/message_classes.h"

#include <algorithm>
#include <cstring>

namespace cvx::output {

namespace {

using core::SysExBuffer;

core::SysExBuffer* firstFreeBuffer(core::OutputPort& port) {
    auto handle = reinterpret_cast<DWORD_PTR>(port.handle.load());
    for (SysExBuffer* b = port.sysexBuffers; b != nullptr; b = b->next) {
        if (!b->withPump.load(std::memory_order_acquire) && b->header.dwUser == handle) {
            return b;
        }
    }
    return nullptr;
}

} // namespace

uint32_t queueOutputPiece(core::CvxClient& client, core::OutputPort& port, const uint8_t* data,
                          uint32_t remaining, uint32_t due, uint32_t activityTime,
                          uint32_t source) {
    SysExBuffer* buffer = firstFreeBuffer(port);
    if (buffer == nullptr) {
        return 0;
    }
    uint32_t size =
        std::min<uint32_t>(client.sysexOut.bufferSize.load(), buffer->header.dwBufferLength);
    uint32_t piece = std::min(remaining, size);
    if (piece == 0) {
        return 0;
    }
    std::memcpy(buffer->data(), data, piece);
    buffer->header.dwBytesRecorded = piece;
    if (!client.outputBuffers->push(&buffer->header, due)) {
        return 0;
    }
    buffer->header.dwFlags &= ~MHDR_DONE;
    buffer->withPump.store(true, std::memory_order_relaxed);
    port.statusBits.fetch_or(midi::kClassSysEx);
    port.lastTime.store(activityTime);
    port.lastSource.store(source);
    return piece;
}

} // namespace cvx::output
