// Opening and closing inputs.
#include "core/client_ops.h"
#include "cvxcore.h"
#include "input/input_buffer_lists.h"
#include "input/input_buffer_release.h"
#include "input/input_callback.h"
#include "input/input_index.h"
#include "input/open_input_registry.h"

using namespace cvx::core;

namespace {

void setOpenBit(InputPortTable& table, uint32_t index, bool open) {
    uint64_t bit = uint64_t{1} << (index % 64);
    if (open) {
        table.openBits[index / 64].fetch_or(bit);
    } else {
        table.openBits[index / 64].fetch_and(~bit);
    }
}

void clearActivity(InputPort& port) {
    port.lastTime.store(0);
    port.statusClass.store(0);
}

// The index of an input: its slot, else the index its buffer list was made for, else -1.
int closingIndexOf(CvxClient& client, HMIDIIN handle) {
    int index = cvx::input::inputIndexOf(client, handle);
    if (index >= 0) {
        return index;
    }
    EngineGuard guard(engineLock());
    InputBufferList* list = cvx::input::findBufferList(client.inputs, handle);
    return list != nullptr && list->index < kPortCount ? static_cast<int>(list->index) : -1;
}

bool deviceAnswers(HMIDIIN handle) {
    UINT device = 0;
    MIDIINCAPS caps{};
    return midiInGetID(handle, &device) == MMSYSERR_NOERROR &&
           midiInGetDevCaps(device, &caps, sizeof caps) == MMSYSERR_NOERROR;
}

} // namespace

extern "C" {

uint16_t vx16OpenMidiIn(HMIDIIN* out, uint16_t device, uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    // Index 135 is the generated-event port, never a device.
    if (client == nullptr || out == nullptr || device >= kGeneratedPort) {
        return MMSYSERR_BADDEVICEID;
    }
    InputPort& port = client->inputs.ports[device];
    if (port.handle.load() != nullptr) {
        return MMSYSERR_ALLOCATED;
    }
    clearActivity(port);
    clearActivity(client->inputs.ports[kGeneratedPort]);
    HMIDIIN opened = nullptr;
    MMRESULT result =
        midiInOpen(&opened, device, reinterpret_cast<DWORD_PTR>(&cvx::input::engineInputCallback),
                   reinterpret_cast<DWORD_PTR>(client), CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR) {
        return static_cast<uint16_t>(result);
    }
    *out = opened;
    port.handle.store(opened);
    cvx::ports::registerInput(opened, client);
    setOpenBit(client->inputs, device, true);
    client->inputs.openCount.fetch_add(1);
    return MMSYSERR_NOERROR;
}

uint16_t m32OpenMidiIn(HMIDIIN* out, uint16_t device, uint64_t handle) {
    return vx16OpenMidiIn(out, device, handle);
}

int m32CloseMidiIn(HMIDIIN handle, uint64_t clientHandle) {
    CvxClient* client = clientFromHandle(clientHandle);
    if (client == nullptr || handle == nullptr) {
        return 0;
    }
    cvx::ports::unregisterInput(handle);
    int index = closingIndexOf(*client, handle);
    if (deviceAnswers(handle)) {
        midiInStop(handle);
        midiInReset(handle);
    }
    SysExBuffer* buffers = nullptr;
    {
        EngineGuard guard(engineLock());
        buffers = cvx::input::detachBufferList(client->inputs, handle);
    }
    cvx::input::releaseInputBuffers(*client, handle, buffers);
    midiInClose(handle);
    if (index >= 0) {
        InputPort& port = client->inputs.ports[index];
        clearActivity(port);
        HMIDIIN expected = handle;
        if (port.handle.compare_exchange_strong(expected, nullptr)) {
            setOpenBit(client->inputs, static_cast<uint32_t>(index), false);
            uint16_t count = client->inputs.openCount.load();
            client->inputs.openCount.store(count > 0 ? count - 1 : 0);
        }
    }
    return 1;
}

} // extern "C"
