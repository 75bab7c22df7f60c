// The MIDI service: the host side of the backend contract (midi_backend.h) and everything
// the WINMM-shaped midiIn*/midiOut* calls stand on.
//
// - Backends: chosen by CORVEX_MIDI (comma list, default "virtual,alsa,jack") from the
//   table in backend_registry.cpp; one whose start() fails is skipped silently. Every
//   call the service makes into one backend (open, close, send, inputs(), outputs()) is
//   made under that backend's own call lock, so a backend never sees two at once.
// - Devices: one numbered input list and one output list, dense, in backend order
//   (virtual, alsa, jack) and within a backend in the order it lists its endpoints. The
//   numbering is stable until the next re-enumeration. endpointsChanged() may be called from
//   any thread (also from inside a call the service is making into the backend): it only
//   asks the service's device thread to re-read the lists, which then closes what vanished
//   at the backend, marks its handles dead (calls fail, MMSYSERR_NODRIVER; no callback runs
//   for them again) and calls the application's device-change callback.
// - Handles: HMIDIIN / HMIDIOUT values encode a slot of a fixed table and its generation,
//   never a pointer, so a stale or forged handle yields MMSYSERR_INVALHANDLE.
// - Input: each open input has a fixed byte ring; InputSink::receive() (any thread, never
//   blocks, never allocates) only queues bytes. The service's one input thread parses them
//   (running status, realtime bytes anywhere, SysEx into the buffers of midiInAddBuffer)
//   and runs the application's callbacks. Callbacks therefore never run on a sender's
//   thread, so a cable routed back to itself is a feedback loop, not a recursion.
// - Output: short messages are sent whole with their status byte, except to a backend that
//   carriesRunningStatus(), which gets exactly the bytes the engine sent.
// - "MIDI Mapper" (MIDI_MAPPER): an alias of the first non-virtual output, else of the first
//   virtual one (Loopback 1).
#pragma once

#include "platform/midi_backend.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cvx::platform {

class MidiBackend;

// One entry of a device list.
struct DeviceEntry {
    MidiBackend* backend = nullptr;  // owned by the service
    uint64_t key = 0;                // the backend's endpoint key
    std::string name;                // full name (szPname carries at most 31 characters)
    bool isVirtual = false;          // the virtual backend's cable
};

class MidiService {
public:
    // The process's service, made (backends chosen and started) on first use.
    static MidiService& instance();

    // Closes every open handle (no callbacks; the handles become invalid), stops the
    // backends and starts anew with those CORVEX_MIDI / CORVEX_LOOPBACKS now choose. For
    // tests that change the environment.
    static void restartFromEnvironment();
    // The same with exactly these backends, in this order (tests: fake backends).
    static void restartWith(std::vector<std::unique_ptr<MidiBackend>> backends);

    // Snapshots of the current device lists.
    std::vector<DeviceEntry> inputs();
    std::vector<DeviceEntry> outputs();

    // Blocks until every endpointsChanged() asked for before this call has been handled
    // (lists re-read, device-change callback returned). Returns at once on the device
    // thread itself.
    void waitForDeviceUpdates();
};

}  // namespace cvx::platform
