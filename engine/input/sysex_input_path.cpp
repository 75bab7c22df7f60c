#include "input/sysex_input_path.h"

#include "core/client_ops.h"
#include "core/notifier.h"
#include "core/sysex_chunks.h"
#include "input/input_index.h"
#include "midi/message_classes.h"
#include "output/output_buffers.h"
#include "output/sysex_output_pump.h"
#include "timecode/time_code_feed.h"

namespace cvx::input {

namespace {

using core::CvxClient;
using core::EngineGuard;
using core::OutputPort;
using core::SysExBuffer;

constexpr UINT kThruPumpDelayMs = 1;

// 0xF0 for the start of a message, 0xF7 for a piece that ends one, 0xF5 for a middle piece.
uint32_t sysexMarker(const uint8_t* data, uint32_t length) {
    if (data[0] == 0xF0) {
        return 0xF0;
    }
    return data[length - 1] == 0xF7 ? 0xF7 : 0xF5;
}

EVENT blockEvent(const uint8_t* data, uint32_t length, uint32_t timestamp, uint8_t port) {
    EVENT event{};
    event.timestamp = timestamp;
    event.message = (length << 8) | sysexMarker(data, length);
    event.port = port;
    return event;
}

bool chunksWanted(const CvxClient& client) {
    return (client.filter.flags() & CVX_FILTER_NO_SYSEX_CHUNKS) == 0;
}

void queueDisplayed(CvxClient& client, core::EventQueue* const& queue, const EVENT& event,
                    const uint8_t* data, uint32_t length) {
    EngineGuard guard(core::engineLock());
    if (queue == nullptr) {
        return;
    }
    queue->enqueue(event);
    if (chunksWanted(client)) {
        core::queueSysExChunks(*queue, *client.displayRing, data, length);
    }
}

// The script or Dock consumer takes the block as 256-byte chunks. Returns true when its
// divert is on: the block then goes no further.
bool chunkConsumerTakes(std::atomic<HWND>& window, core::EventQueue* const& queue,
                        core::ScriptChunkRing* const& ring, uint32_t notice,
                        const std::atomic<int16_t>& divert, const uint8_t* data, uint32_t length) {
    HWND target = window.load();
    if (target == nullptr) {
        return false;
    }
    {
        EngineGuard guard(core::engineLock());
        if (queue != nullptr && ring != nullptr) {
            core::queueSysExChunks(*queue, *ring, data, length);
        }
    }
    cvxPostMessage(target, notice, 0, 0);
    return divert.load() != 0;
}

void armThruPump(CvxClient& client) {
    output::armSysExPump(client, kThruPumpDelayMs);
}

// Copies the block into the output's free buffers for the SysEx output pump; what does not
// fit is cut off for this output. Returns whether any piece was queued.
bool thruToOutput(CvxClient& client, OutputPort& port, const EVENT& block, const uint8_t* data,
                  uint32_t length) {
    EngineGuard guard(core::engineLock());
    uint32_t done = 0;
    while (done < length) {
        uint32_t piece = output::queueOutputPiece(client, port, data + done, length - done, 0,
                                                  timeGetTime(), block.port);
        if (piece == 0) {
            port.sendFailures.fetch_add(1, std::memory_order_relaxed); // the rest is cut off
            break;
        }
        armThruPump(client);
        EVENT record =
            blockEvent(data + done, piece, static_cast<uint32_t>(block.timestamp), block.port);
        record.outPort = static_cast<uint8_t>(port.deviceIndex.load() + 1);
        queueDisplayed(client, client.mainQueue, record, data + done, piece);
        cvxPostMessage(client.windows.main, WM_CVX_EVENTS, 0, 0);
        done += piece;
    }
    return done > 0;
}

bool sysexThru(CvxClient& client, const EVENT& block, const uint8_t* data, uint32_t length) {
    bool sent = false;
    int highest = client.outputs->highestOpen.load();
    for (int output = 0; output <= highest; ++output) {
        OutputPort& port = client.outputs->ports[output];
        if (port.handle.load() != nullptr &&
            (port.portMap.mask(block.port) & CVX_ROUTE_SYSEX) != 0) {
            sent |= thruToOutput(client, port, block, data, length);
        }
    }
    return sent;
}

// Hands the buffer to the application, or keeps it for GetSysExData during a capture. A
// buffer that cannot be handed over goes back to its input at once, and the input's
// reject count records the loss.
void handOver(CvxClient& client, HMIDIIN handle, MIDIHDR& header, uint8_t port) {
    auto* buffer = SysExBuffer::of(&header);
    if (client.flags.sysexCapture.load() != 0) {
        bool queued = false;
        {
            EngineGuard guard(core::engineLock());
            queued = client.capturedBuffers->push(&header, 0);
            buffer->withApplication = queued;
        }
        if (queued) {
            cvxPostMessage(client.windows.capture.load(), WM_CVX_SYSEX_CAPTURED, 0,
                           static_cast<intptr_t>(header.dwBytesRecorded));
            return;
        }
    } else {
        buffer->withApplication = true;
        if (cvxPostMessage(client.windows.main, WM_CVX_SYSEXDATA,
                           reinterpret_cast<uintptr_t>(handle),
                           reinterpret_cast<intptr_t>(&header))) {
            return;
        }
        buffer->withApplication = false;
    }
    if (port < core::kPortCount) {
        client.inputs.ports[port].rejects.fetch_add(1, std::memory_order_relaxed);
    }
    requeueInputBuffer(handle, header);
}

bool consumersTake(CvxClient& client, const uint8_t* data, uint32_t length) {
    core::ConsumerQueues& c = client.consumers;
    return chunkConsumerTakes(client.windows.script, c.script, c.scriptRing, WM_CVX_AUTOMATION_DATA,
                              client.flags.scriptDivert, data, length) ||
           chunkConsumerTakes(client.windows.dock, c.dock, c.dockRing, WM_CVX_DOCK_DATA,
                              client.flags.dockDivert, data, length);
}

} // namespace

MMRESULT requeueInputBuffer(HMIDIIN handle, MIDIHDR& header) {
    header.dwBytesRecorded = 0;
    header.dwUser = 0;
    SysExBuffer::of(&header)->withApplication = false;
    return midiInAddBuffer(handle, &header, sizeof(MIDIHDR));
}

void processSysExBuffer(CvxClient& client, HMIDIIN handle, MIDIHDR& header, uint32_t timestamp) {
    if (header.dwBytesRecorded == 0) {
        return; // handed back by a reset or close
    }
    if (client.flags.inputBlocker.load() != 0) {
        requeueInputBuffer(handle, header);
        return;
    }
    header.dwUser = reinterpret_cast<DWORD_PTR>(handle);
    const auto* data = reinterpret_cast<const uint8_t*>(header.lpData);
    uint32_t length = header.dwBytesRecorded;
    EVENT block = blockEvent(data, length, timestamp, portByteOf(inputIndexOf(client, handle)));
    core::orInputStatusClass(client, block.port, midi::kClassSysEx);
    if (midi::isFullFrameTimeCode(data, length)) {
        timecode::trackFullFrame(client, data, length);
    }
    bool sent = false;
    if (client.flags.sysexCapture.load() == 0) {
        if (consumersTake(client, data, length)) {
            handOver(client, handle, header, block.port);
            return;
        }
        sent = sysexThru(client, block, data, length);
    }
    bool rawMonitored = client.windows.rawMonitor.load() != nullptr;
    if (rawMonitored) {
        queueDisplayed(client, client.consumers.raw, block, data, length);
        core::scheduleRawNotify(client);
    }
    if (!sent && !rawMonitored) {
        queueDisplayed(client, client.mainQueue, block, data, length);
        core::notifyMain(client);
    }
    handOver(client, handle, header, block.port);
}

} // namespace cvx::input
