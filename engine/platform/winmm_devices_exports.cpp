// Device counts, capabilities, full names and device-change notification
// (cvx_devices.h).
//
// Capabilities: wMid / wPid are 0xFFFF (unmapped), vDriverVersion 0x0100, szPname the
// device name cut to 31 bytes (at a UTF-8 character boundary), outputs report
// MOD_MIDIPORT, all 16 channels, no voices or notes; the mapper reports "MIDI Mapper" and
// MOD_MAPPER. The device may also be given as an open handle, as WINMM allows.
#include "cvx_devices.h"
#include "cvx_platform.h"
#include "platform/midi_service.h"

#include <cstring>
#include <string>

using cvx::platform::BackendSlot;
using cvx::platform::DeviceEntry;
using cvx::platform::MidiService;

namespace {

constexpr const char* kMapperName = "MIDI Mapper";
constexpr MMVERSION kDriverVersion = 0x0100;

// Copies `text` into `out` (size bytes with the NUL), cut at a UTF-8 boundary.
void copyName(const std::string& text, char* out, size_t size) {
    size_t n = text.size();
    if (n > size - 1) {
        n = size - 1;
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
            --n;
        }
    }
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

bool isMapperId(UINT_PTR id) {
    return id == MIDI_MAPPER || id == static_cast<UINT_PTR>(-1);
}

bool isHandleValue(UINT_PTR id) {
    return id > 0xFFFFFFFFu && !isMapperId(id);
}

// The input device an id (index or handle) names.
MMRESULT resolveInput(UINT_PTR id, DeviceEntry& entry) {
    MidiService& service = MidiService::instance();
    if (isHandleValue(id)) {
        uint32_t generation = 0;
        auto* port = service.inputPort(reinterpret_cast<HMIDIIN>(id), generation);
        if (port == nullptr) {
            return MMSYSERR_INVALHANDLE;
        }
        BackendSlot* backend = nullptr;
        uint64_t key = 0;
        MMRESULT r = port->device(generation, backend, key);
        if (r != MMSYSERR_NOERROR) {
            return r;
        }
        UINT index = 0;
        if (!service.inputIndex(backend, key, index) || !service.inputEntry(index, entry)) {
            return MMSYSERR_NODRIVER;
        }
        return MMSYSERR_NOERROR;
    }
    if (id > 0xFFFFFFFFu || !service.inputEntry(static_cast<UINT>(id), entry)) {
        return MMSYSERR_BADDEVICEID;
    }
    return MMSYSERR_NOERROR;
}

// The output device an id names; `mapper` set for the mapper (entry then unused).
MMRESULT resolveOutput(UINT_PTR id, DeviceEntry& entry, bool& mapper) {
    MidiService& service = MidiService::instance();
    mapper = false;
    if (isMapperId(id)) {
        mapper = true;
        return MMSYSERR_NOERROR;
    }
    if (isHandleValue(id)) {
        uint32_t generation = 0;
        auto* port = service.outputPort(reinterpret_cast<HMIDIOUT>(id), generation);
        if (port == nullptr) {
            return MMSYSERR_INVALHANDLE;
        }
        BackendSlot* backend = nullptr;
        uint64_t key = 0;
        MMRESULT r = port->device(generation, backend, key, mapper);
        if (mapper && r != MMSYSERR_INVALHANDLE) {
            return MMSYSERR_NOERROR;
        }
        if (r != MMSYSERR_NOERROR) {
            return r;
        }
        UINT index = 0;
        if (!service.outputIndex(backend, key, index) || !service.outputEntry(index, entry)) {
            return MMSYSERR_NODRIVER;
        }
        return MMSYSERR_NOERROR;
    }
    if (!service.outputEntry(static_cast<UINT>(id), entry)) {
        return MMSYSERR_BADDEVICEID;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT copyText(MMRESULT found, const std::string& text, char* buffer, UINT size) {
    if (buffer == nullptr || size == 0) {
        return MMSYSERR_INVALPARAM;
    }
    if (found != MMSYSERR_NOERROR) {
        buffer[0] = '\0';
        return found;
    }
    copyName(text, buffer, size);
    return MMSYSERR_NOERROR;
}

} // namespace

extern "C" {

UINT midiInGetNumDevs(void) {
    return MidiService::instance().inputCount();
}

UINT midiOutGetNumDevs(void) {
    return MidiService::instance().outputCount();
}

MMRESULT midiInGetDevCaps(UINT_PTR deviceId, LPMIDIINCAPS caps, UINT size) {
    if (caps == nullptr || size == 0) {
        return MMSYSERR_INVALPARAM;
    }
    DeviceEntry entry;
    MMRESULT r = resolveInput(deviceId, entry);
    if (r != MMSYSERR_NOERROR) {
        return r;
    }
    MIDIINCAPS full{};
    full.wMid = 0xFFFF;
    full.wPid = 0xFFFF;
    full.vDriverVersion = kDriverVersion;
    copyName(entry.name, full.szPname, sizeof full.szPname);
    full.dwSupport = 0;
    std::memcpy(caps, &full, size < sizeof full ? size : sizeof full);
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutGetDevCaps(UINT_PTR deviceId, LPMIDIOUTCAPS caps, UINT size) {
    if (caps == nullptr || size == 0) {
        return MMSYSERR_INVALPARAM;
    }
    DeviceEntry entry;
    bool mapper = false;
    MMRESULT r = resolveOutput(deviceId, entry, mapper);
    if (r != MMSYSERR_NOERROR) {
        return r;
    }
    MIDIOUTCAPS full{};
    full.wMid = 0xFFFF;
    full.wPid = 0xFFFF;
    full.vDriverVersion = kDriverVersion;
    copyName(mapper ? std::string(kMapperName) : entry.name, full.szPname, sizeof full.szPname);
    full.wTechnology = mapper ? MOD_MAPPER : MOD_MIDIPORT;
    full.wVoices = 0;
    full.wNotes = 0;
    full.wChannelMask = 0xFFFF;
    full.dwSupport = 0;
    std::memcpy(caps, &full, size < sizeof full ? size : sizeof full);
    return MMSYSERR_NOERROR;
}

MMRESULT cvxMidiInGetName(UINT device, char* buffer, UINT size) {
    DeviceEntry entry;
    MMRESULT r =
        MidiService::instance().inputEntry(device, entry) ? MMSYSERR_NOERROR : MMSYSERR_BADDEVICEID;
    return copyText(r, entry.name, buffer, size);
}

MMRESULT cvxMidiOutGetName(UINT device, char* buffer, UINT size) {
    if (device == MIDI_MAPPER) {
        return copyText(MMSYSERR_NOERROR, kMapperName, buffer, size);
    }
    DeviceEntry entry;
    MMRESULT r = MidiService::instance().outputEntry(device, entry) ? MMSYSERR_NOERROR
                                                                    : MMSYSERR_BADDEVICEID;
    return copyText(r, entry.name, buffer, size);
}

MMRESULT cvxMidiInGetBackend(UINT device, char* buffer, UINT size) {
    DeviceEntry entry;
    bool found = MidiService::instance().inputEntry(device, entry);
    return copyText(found ? MMSYSERR_NOERROR : MMSYSERR_BADDEVICEID,
                    found ? entry.backend->name : std::string(), buffer, size);
}

MMRESULT cvxMidiOutGetBackend(UINT device, char* buffer, UINT size) {
    DeviceEntry entry;
    bool found = device == MIDI_MAPPER ? MidiService::instance().mapperTarget(entry)
                                       : MidiService::instance().outputEntry(device, entry);
    return copyText(found ? MMSYSERR_NOERROR : MMSYSERR_BADDEVICEID,
                    found ? entry.backend->name : std::string(), buffer, size);
}

int cvxMidiSetDeviceChangeCallback(CvxDeviceChangeCallback callback, void* user) {
    MidiService::instance().setDeviceChangeCallback(callback, user);
    return 1;
}

} // extern "C"
