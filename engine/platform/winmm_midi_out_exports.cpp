// The WINMM-shaped MIDI output calls over the MIDI service.
#include "cvx_platform.h"
#include "platform/export_guard.h"
#include "platform/midi_service.h"

using cvx::platform::MidiOutPort;
using cvx::platform::MidiService;

namespace {

template <typename Call> MMRESULT withPort(HMIDIOUT handle, Call call) noexcept {
    return cvx::exports::guardedMidi([&] {
        uint32_t generation = 0;
        MidiOutPort* port = MidiService::instance().outputPort(handle, generation);
        return port != nullptr ? call(*port, generation) : MMSYSERR_INVALHANDLE;
    });
}

} // namespace

extern "C" {

MMRESULT midiOutOpen(LPHMIDIOUT handle, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance,
                     DWORD flags) noexcept {
    return cvx::exports::guardedMidi([&] {
        return MidiService::instance().openOutput(handle, deviceId, callback, instance, flags);
    });
}

MMRESULT midiOutClose(HMIDIOUT handle) noexcept {
    return cvx::exports::guardedMidi([&] { return MidiService::instance().closeOutput(handle); });
}

MMRESULT midiOutPrepareHeader(HMIDIOUT handle, LPMIDIHDR header, UINT size) noexcept {
    return withPort(handle,
                    [&](MidiOutPort& p, uint32_t g) { return p.prepareHeader(g, header, size); });
}

MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, LPMIDIHDR header, UINT size) noexcept {
    return withPort(handle,
                    [&](MidiOutPort& p, uint32_t g) { return p.unprepareHeader(g, header, size); });
}

MMRESULT midiOutShortMsg(HMIDIOUT handle, DWORD message) noexcept {
    return withPort(handle, [&](MidiOutPort& p, uint32_t g) { return p.shortMsg(g, message); });
}

MMRESULT midiOutLongMsg(HMIDIOUT handle, LPMIDIHDR header, UINT size) noexcept {
    return withPort(handle, [&](MidiOutPort& p, uint32_t g) { return p.longMsg(g, header, size); });
}

MMRESULT midiOutReset(HMIDIOUT handle) noexcept {
    return withPort(handle, [](MidiOutPort& p, uint32_t g) { return p.reset(g); });
}

MMRESULT midiOutGetID(HMIDIOUT handle, UINT* deviceId) noexcept {
    return withPort(handle, [&](MidiOutPort& p, uint32_t g) -> MMRESULT {
        if (deviceId == nullptr) {
            return MMSYSERR_INVALPARAM;
        }
        cvx::platform::BackendSlot* backend = nullptr;
        uint64_t key = 0;
        bool mapper = false;
        MMRESULT r = p.device(g, backend, key, mapper);
        if (mapper && r != MMSYSERR_INVALHANDLE) {
            *deviceId = MIDI_MAPPER;
            return MMSYSERR_NOERROR;
        }
        if (r != MMSYSERR_NOERROR) {
            return r;
        }
        UINT index = 0;
        if (!MidiService::instance().outputIndex(backend, key, index)) {
            return MMSYSERR_NODRIVER;
        }
        *deviceId = index;
        return MMSYSERR_NOERROR;
    });
}

BOOL cvxMidiOutSendNeverBlocks(HMIDIOUT handle) noexcept {
    MMRESULT answer = withPort(handle, [](MidiOutPort& p, uint32_t g) -> MMRESULT {
        cvx::platform::BackendSlot* backend = nullptr;
        uint64_t key = 0;
        bool mapper = false;
        MMRESULT r = p.device(g, backend, key, mapper);
        if (r != MMSYSERR_NOERROR || backend == nullptr) {
            return r != MMSYSERR_NOERROR ? r : MMSYSERR_NODRIVER;
        }
        return backend->backend->sendNeverBlocks() ? MMSYSERR_NOERROR : MMSYSERR_NOTSUPPORTED;
    });
    return answer == MMSYSERR_NOERROR ? 1 : 0;
}

} // extern "C"
