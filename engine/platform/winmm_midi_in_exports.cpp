// The WINMM-shaped MIDI input calls over the MIDI service.
#include "cvx_platform.h"
#include "platform/midi_service.h"

using cvx::platform::MidiInPort;
using cvx::platform::MidiService;

namespace {

template <typename Call> MMRESULT withPort(HMIDIIN handle, Call call) {
    uint32_t generation = 0;
    MidiInPort* port = MidiService::instance().inputPort(handle, generation);
    return port != nullptr ? call(*port, generation) : MMSYSERR_INVALHANDLE;
}

} // namespace

extern "C" {

MMRESULT midiInOpen(LPHMIDIIN handle, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance,
                    DWORD flags) {
    return MidiService::instance().openInput(handle, deviceId, callback, instance, flags);
}

MMRESULT midiInClose(HMIDIIN handle) {
    return MidiService::instance().closeInput(handle);
}

MMRESULT midiInPrepareHeader(HMIDIIN handle, LPMIDIHDR header, UINT size) {
    return withPort(handle,
                    [&](MidiInPort& p, uint32_t g) { return p.prepareHeader(g, header, size); });
}

MMRESULT midiInUnprepareHeader(HMIDIIN handle, LPMIDIHDR header, UINT size) {
    return withPort(handle,
                    [&](MidiInPort& p, uint32_t g) { return p.unprepareHeader(g, header, size); });
}

MMRESULT midiInAddBuffer(HMIDIIN handle, LPMIDIHDR header, UINT size) {
    return withPort(handle,
                    [&](MidiInPort& p, uint32_t g) { return p.addBuffer(g, header, size); });
}

MMRESULT midiInStart(HMIDIIN handle) {
    return withPort(handle, [](MidiInPort& p, uint32_t g) { return p.start(g); });
}

MMRESULT midiInStop(HMIDIIN handle) {
    return withPort(handle, [](MidiInPort& p, uint32_t g) { return p.stop(g); });
}

MMRESULT midiInReset(HMIDIIN handle) {
    return withPort(handle, [](MidiInPort& p, uint32_t g) { return p.reset(g); });
}

MMRESULT midiInGetID(HMIDIIN handle, UINT* deviceId) {
    return withPort(handle, [&](MidiInPort& p, uint32_t g) -> MMRESULT {
        if (deviceId == nullptr) {
            return MMSYSERR_INVALPARAM;
        }
        cvx::platform::BackendSlot* backend = nullptr;
        uint64_t key = 0;
        MMRESULT r = p.device(g, backend, key);
        if (r != MMSYSERR_NOERROR) {
            return r;
        }
        UINT index = 0;
        if (!MidiService::instance().inputIndex(backend, key, index)) {
            return MMSYSERR_NODRIVER;
        }
        *deviceId = index;
        return MMSYSERR_NOERROR;
    });
}

} // extern "C"
