#include "output/sysex_output.h"

#include "core/client_ops.h"
#include "core/sysex_chunks.h"
#include "midi/message_classes.h"
#include "output/output_buffers.h"
#include "output/output_lane.h"
#include "output/sysex_output_pump.h"
#include "timecode/time_code_feed.h"

#include <mutex>

namespace cvx::output {

namespace {

using core::CvxClient;
using core::EngineGuard;
using core::OutputPort;
using core::SysExBuffer;

constexpr uint32_t kFirstGeneratedSource = 249;

void addSentRecord(CvxClient& client, const uint8_t* piece, uint32_t length, uint32_t elapsed,
                   uint32_t source, uint32_t deviceIndex) {
    uint32_t sourceMark = source == core::kGeneratedPort ? 0xFFu : source;
    EVENT record{};
    record.timestamp = elapsed;
    record.message = (length << 8) | 0xF0u | (sourceMark << 24);
    record.port = source != 0 ? 1 : 0;
    record.outPort = static_cast<uint8_t>(deviceIndex + 1);
    EngineGuard guard(core::engineLock());
    client.mainQueue->enqueue(record);
    if ((client.filter.flags() & CVX_FILTER_NO_SYSEX_CHUNKS) == 0) {
        core::queueSysExChunks(*client.mainQueue, *client.displayRing, piece, length);
    }
}

// Queues the block's pieces for one output. Due and elapsed times run on across outputs:
// the pieces leave one after another. False when the output ran out of buffers.
bool queueForOutput(CvxClient& client, OutputPort& port, const uint8_t* data, uint32_t length,
                    uint32_t source, uint32_t& due, uint32_t& elapsed) {
    EngineGuard guard(core::engineLock());
    uint32_t spacing = client.sysexSpacingMs.load();
    for (uint32_t done = 0; done < length;) {
        uint32_t piece =
            queueOutputPiece(client, port, data + done, length - done, due, due, source);
        if (piece == 0) {
            return false;
        }
        armSysExPump(client, due - timeGetTime() + 1);
        addSentRecord(client, data + done, piece, elapsed, source, port.deviceIndex.load());
        done += piece;
        due += spacing;
        elapsed += spacing;
    }
    return true;
}

} // namespace

uint16_t sendSysExBlock(CvxClient& client, const uint8_t* data, uint32_t length, uint32_t source) {
    if (!core::anyOutputOpen(client)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (source >= kFirstGeneratedSource) {
        source = core::kGeneratedPort;
    }
    core::orInputStatusClass(client, source, midi::kClassSysEx);
    uint32_t due = timeGetTime() + 1;
    uint32_t elapsed = core::elapsedMs(client);
    int highest = client.outputs->highestOpen.load();
    for (int output = 0; output <= highest; ++output) {
        OutputPort& port = client.outputs->ports[output];
        if (port.handle.load() == nullptr ||
            (port.portMap.mask(core::kGeneratedPort) & CVX_ROUTE_SYSEX) == 0) {
            continue;
        }
        if (!queueForOutput(client, port, data, length, source, due, elapsed)) {
            return MMSYSERR_NOMEM;
        }
        cvxPostMessage(client.windows.main, WM_CVX_EVENTS, 0, 0);
        if (midi::isFullFrameTimeCode(data, length)) {
            timecode::trackFullFrame(client, data, length);
        }
    }
    return MMSYSERR_NOERROR;
}

void freeOutputBuffers(CvxClient& client, uint32_t output) {
    OutputPort& port = client.outputs->ports[output];
    HMIDIOUT handle = port.handle.load();
    SysExBuffer* buffers = nullptr;
    {
        // The wire lock waits for a buffer the pump is sending; once the queue no longer
        // holds this output's buffers, the pump takes none of them.
        std::unique_lock<std::mutex> wire;
        if (output::OutputLane* lane = port.lane.load()) {
            wire = std::unique_lock(lane->wireLock());
        }
        EngineGuard guard(core::engineLock());
        client.outputBuffers->removeIf([&](const core::BufferQueue::Entry& e) {
            return e.header->dwUser == reinterpret_cast<DWORD_PTR>(handle);
        });
        buffers = port.sysexBuffers;
        port.sysexBuffers = nullptr;
    }
    if (handle != nullptr) {
        midiOutReset(handle);
    }
    while (buffers != nullptr) {
        SysExBuffer* next = buffers->next;
        if (handle != nullptr && (buffers->header.dwFlags & MHDR_PREPARED) != 0) {
            midiOutUnprepareHeader(handle, &buffers->header, sizeof(MIDIHDR));
        }
        SysExBuffer::destroy(buffers);
        buffers = next;
    }
}

} // namespace cvx::output
