// Opening and closing outputs, and their SysEx buffers.
#include "core/client_ops.h"
#include "cvxcore.h"
#include "output/output_lane.h"
#include "output/sysex_output.h"
#include "routing/delay_pump.h"
#include "core/loss_counts.h"

#include <mutex>

using namespace cvx::core;

namespace {

void raiseHighest(OutputPortTable& table, int index) {
    int highest = table.highestOpen.load();
    while (index > highest && !table.highestOpen.compare_exchange_weak(highest, index)) {
    }
}

void lowerHighest(OutputPortTable& table, int closed) {
    if (table.highestOpen.load() != closed) {
        return;
    }
    int next = closed - 1;
    while (next >= 0 && table.ports[next].handle.load() == nullptr) {
        --next;
    }
    table.highestOpen.store(next);
}

// The record index of an open output handle, or -1.
int outputIndexOf(const CvxClient& client, HMIDIOUT handle) {
    for (uint32_t i = 0; i < kPortCount; ++i) {
        if (handle != nullptr && client.outputs->ports[i].handle.load() == handle) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The record index of a closing output: the mapper's stored index, the device index the
// platform names, or (for a device that vanished) a search of the table.
int closingIndexOf(const CvxClient& client, HMIDIOUT handle, bool& answers) {
    UINT device = 0;
    MMRESULT result = midiOutGetID(handle, &device);
    answers = false;
    if (result == MMSYSERR_NOERROR && device == MIDI_MAPPER) {
        answers = true;
        return client.outputs->mapperIndex.load();
    }
    if (result == MMSYSERR_NOERROR) {
        MIDIOUTCAPS caps{};
        answers = midiOutGetDevCaps(device, &caps, sizeof caps) == MMSYSERR_NOERROR;
        int index = outputIndexOf(client, handle);
        return index >= 0 ? index : (device < kPortCount ? static_cast<int>(device) : -1);
    }
    return result == MMSYSERR_NODRIVER ? outputIndexOf(client, handle) : -1;
}

void clearRecord(OutputPort& port) {
    port.lastTime.store(0);
    port.deviceIndex.store(0);
    port.lastSource.store(0);
    port.statusBits.store(0);
}

} // namespace

extern "C" {

uint16_t vx16OpenMidiOut(HMIDIOUT* out, uint16_t device, int mapper, CPortMap* map,
                         uint64_t handle) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || out == nullptr || device >= kPortCount) {
        return MMSYSERR_BADDEVICEID;
    }
    OutputPort& port = client->outputs->ports[device];
    if (port.handle.load() != nullptr) {
        return MMSYSERR_ALLOCATED;
    }
    if (!cvx::output::ensureLane(*client, device)) {
        return MMSYSERR_NOMEM;
    }
    HMIDIOUT opened = nullptr;
    MMRESULT result = midiOutOpen(&opened, mapper ? MIDI_MAPPER : device, 0, 0, CALLBACK_NULL);
    if (result != MMSYSERR_NOERROR) {
        return static_cast<uint16_t>(result);
    }
    *out = opened;
    clearRecord(port);
    cvx::core::startOutputCounts(port);
    port.deviceIndex.store(device);
    if (map != nullptr) {
        port.portMap.store(*map);
    } else {
        port.portMap.store(CPortMap{});
    }
    {
        cvx::output::OutputLane& lane = *port.lane.load();
        std::lock_guard wire(lane.wireLock());
        lane.setSendNeverBlocks(cvxMidiOutSendNeverBlocks(opened) != 0);
        port.runningStatus = 0;
        port.handle.store(opened);
    }
    if (mapper) {
        client->outputs->mapperIndex.store(device);
    }
    client->outputs->openCount.fetch_add(1);
    raiseHighest(*client->outputs, device);
    return MMSYSERR_NOERROR;
}

uint16_t m32OpenMidiOut(HMIDIOUT* out, uint16_t device, int mapper, CPortMap* map,
                        uint64_t handle) noexcept {
    return vx16OpenMidiOut(out, device, mapper, map, handle);
}

int m32CloseMidiOut(HMIDIOUT handle, uint64_t clientHandle) noexcept {
    CvxClient* client = clientFromHandle(clientHandle);
    if (client == nullptr || handle == nullptr) {
        return 0;
    }
    bool answers = false;
    int index = closingIndexOf(*client, handle, answers);
    if (index < 0 || client->outputs->ports[index].handle.load() != handle) {
        return 0;
    }
    OutputPort& port = client->outputs->ports[index];
    cvx::routing::dropDelayedForOutput(*client, index);
    cvx::output::freeOutputBuffers(*client, static_cast<uint32_t>(index));
    if (answers) {
        midiOutReset(handle);
    }
    {
        // Sends check the handle under the output's wire lock: once it is cleared here no
        // send to this output is in progress or can start, and what its lane still held
        // is dropped.
        cvx::output::OutputLane& lane = *port.lane.load();
        std::lock_guard wire(lane.wireLock());
        lane.discardQueued();
        port.handle.store(nullptr);
    }
    midiOutClose(handle);
    clearRecord(port);
    if (client->outputs->mapperIndex.load() == index) {
        client->outputs->mapperIndex.store(-1);
    }
    uint16_t count = client->outputs->openCount.load();
    client->outputs->openCount.store(count > 0 ? count - 1 : 0);
    lowerHighest(*client->outputs, index);
    return 1;
}

int m32AllocSyxBufOut(HMIDIOUT handle, uint64_t clientHandle, uint16_t size) noexcept {
    CvxClient* client = clientFromHandle(clientHandle);
    int index = client == nullptr ? -1 : outputIndexOf(*client, handle);
    if (index < 0 || size == 0) {
        return 0;
    }
    SysExBuffer* buffer = SysExBuffer::make(size);
    if (buffer == nullptr) {
        return 0;
    }
    if (midiOutPrepareHeader(handle, &buffer->header, sizeof(MIDIHDR)) != MMSYSERR_NOERROR) {
        SysExBuffer::destroy(buffer);
        return 0;
    }
    EngineGuard guard(engineLock());
    buffer->header.dwFlags |= MHDR_DONE;
    buffer->header.dwUser = reinterpret_cast<DWORD_PTR>(handle);
    OutputPort& port = client->outputs->ports[index];
    buffer->next = port.sysexBuffers;
    port.sysexBuffers = buffer;
    client->sysexOut.bufferSize.store(size);
    return 1;
}

void m32FreeSyxBufOut(HMIDIOUT handle, uint64_t clientHandle) noexcept {
    CvxClient* client = clientFromHandle(clientHandle);
    int index = client == nullptr ? -1 : outputIndexOf(*client, handle);
    if (index >= 0) {
        cvx::output::freeOutputBuffers(*client, static_cast<uint32_t>(index));
    }
}

uint16_t m32SendSysEx(uint64_t clientHandle, char* bytes, uint16_t length) noexcept {
    CvxClient* client = clientFromHandle(clientHandle);
    if (client == nullptr || bytes == nullptr || length == 0) {
        return MMSYSERR_INVALPARAM;
    }
    return cvx::output::sendSysExBlock(*client, reinterpret_cast<const uint8_t*>(bytes), length,
                                       kGeneratedPort);
}

} // extern "C"
