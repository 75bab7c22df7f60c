// The MIDI service: the host side of the backend contract (midi_backend.h) and everything
// the WINMM-shaped midiIn* / midiOut* calls and the test tap (virtual_tap.h) stand on.
//
// - Backends: chosen by CORVEX_MIDI (comma list, default "virtual,alsa,jack") from the
//   table in backend_registry.cpp, in that table's order; one whose start() fails is
//   skipped silently. The service's control calls into a backend (start, stop, open, close,
//   inputs(), outputs()) are made one at a time under that backend's call lock; send() is
//   made without it, from any thread, possibly concurrently (BackendSlot).
// - Devices: one numbered input list and one output list, dense, in backend order (virtual,
//   alsa, jack) and within a backend in the order it lists its endpoints; stable until the
//   next re-enumeration. endpointsChanged() may be called from any thread, also from
//   inside a call the service is making into the backend: it only asks the service's
//   device thread to re-read the lists. That thread then marks the handles of vanished
//   endpoints dead (closing them at the backend), and, when the lists changed, runs the
//   application's device-change callback (cvx_devices.h).
// - Handles: HMIDIIN / HMIDIOUT values encode a slot of a fixed table and its generation
//   (port_handles.h), never a pointer: a stale or forged handle gives MMSYSERR_INVALHANDLE.
//   An input device is open at most once (MMSYSERR_ALLOCATED); an output device may be
//   open several times (the mapper alias, several clients): it is opened at the backend
//   for the first handle and closed with the last.
// - Input: see midi_in_port.h. The service's one input thread (SCHED_FIFO when permitted)
//   parses what the backends queued and runs the callbacks, so a callback never runs on a
//   sender's thread and a cable routed back into itself is a feedback loop, not a
//   recursion.
// - Output: see midi_out_port.h.
// - "MIDI Mapper" (MIDI_MAPPER): an alias of the first non-virtual output, else of the first
//   output (Loopback 1), chosen when it is opened. midiOutGetID gives MIDI_MAPPER for it.
//
// The service is made on first use and lives until the process ends.
#pragma once

#include "cvx_devices.h"
#include "platform/backend_slot.h"
#include "platform/midi_in_port.h"
#include "platform/midi_out_port.h"
#include "platform/open_failures.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cvx::platform {

// One entry of a device list.
struct DeviceEntry {
    BackendSlot* backend = nullptr; // owned by the service
    uint64_t key = 0;               // the backend's endpoint key
    std::string name;               // full name (szPname carries at most 31 characters)
};

class MidiService final : public BackendHost, public PortHost {
public:
    static constexpr uint32_t kInputSlots = 256;
    static constexpr uint32_t kOutputSlots = 512;

    // The process's service, made (backends chosen and started) on first use.
    static MidiService& instance();

    // Closes every open handle (no callbacks; the handles become invalid), stops the
    // backends and starts anew with those CORVEX_MIDI / CORVEX_LOOPBACKS now choose. For
    // tests that change the environment; no other call may be in progress.
    static void restartFromEnvironment();
    // The same with exactly these backends, in this order (tests: fake backends).
    static void restartWith(std::vector<std::unique_ptr<MidiBackend>> backends);

    // ---- device lists ----
    std::vector<DeviceEntry> inputs();
    std::vector<DeviceEntry> outputs();
    UINT inputCount();
    UINT outputCount();
    bool inputEntry(UINT index, DeviceEntry& out);
    bool outputEntry(UINT index, DeviceEntry& out);
    // The output the mapper aliases now; false when there is no output.
    bool mapperTarget(DeviceEntry& out);
    // Current index of a device; false when it is no longer listed.
    bool inputIndex(const BackendSlot* backend, uint64_t key, UINT& index);
    bool outputIndex(const BackendSlot* backend, uint64_t key, UINT& index);

    // ---- handles ----
    MidiInPort* inputPort(HMIDIIN handle, uint32_t& generation);
    MidiOutPort* outputPort(HMIDIOUT handle, uint32_t& generation);
    MMRESULT openInput(HMIDIIN* handle, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                       DWORD flags);
    MMRESULT closeInput(HMIDIIN handle);
    MMRESULT openOutput(HMIDIOUT* handle, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                        DWORD flags);
    MMRESULT closeOutput(HMIDIOUT handle);

    // ---- what the test tap stands on ----
    // Queues bytes on the open input of `entry` as if its backend had received them
    // (MidiInPort::feed; waits for room except on the input thread); lost when the device
    // is not open.
    void feedInput(const DeviceEntry& entry, const uint8_t* bytes, size_t length);
    // Blocks until every input record queued before the call has been parsed and delivered
    // and its callbacks have returned. Returns at once on the input thread.
    void waitForInputs();
    // The slot of the started virtual backend (slot->loopback set), or null.
    BackendSlot* loopbackSlot();
    // Opens armed to fail: consulted by every open.
    OpenFailures& openFailures() { return openFailures_; }

    // ---- device changes ----
    void setDeviceChangeCallback(CvxDeviceChangeCallback callback, void* user);
    // Blocks until every endpointsChanged() asked for before this call has been handled
    // (lists re-read, device-change callback returned). Returns at once on the device
    // thread itself.
    void waitForDeviceUpdates();

    // BackendHost
    void endpointsChanged() override;
    // PortHost
    void inputQueued() override;
    void inputConsumed() override;

private:
    struct Share {
        BackendSlot* backend;
        uint64_t key;
        int count;
    };

    MidiService();
    void restart(std::vector<std::unique_ptr<MidiBackend>> backends);
    MMRESULT openInputLocked(HMIDIIN* handle, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                             DWORD flags);
    MMRESULT openOutputLocked(HMIDIOUT* handle, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                              DWORD flags);
    void inputThreadMain();
    void deviceThreadMain();
    // The device lists as the started backends give them now, in backend order; holds each
    // backend's call lock in turn. With configMutex_ held.
    void enumerate(std::vector<DeviceEntry>& ins, std::vector<DeviceEntry>& outs);
    // Re-reads the device lists; returns whether they changed. Holds configMutex_.
    bool rescan();
    void notifyDeviceChange();
    void releaseShare(BackendSlot* backend, uint64_t key);

    std::mutex configMutex_; // restart and rescan, one at a time
    std::mutex listMutex_;   // backends_, inputs_, outputs_
    std::vector<std::unique_ptr<BackendSlot>> backends_;
    std::vector<DeviceEntry> inputs_;
    std::vector<DeviceEntry> outputs_;

    std::mutex openMutex_; // opening, output shares
    std::vector<Share> shares_;
    OpenFailures openFailures_;

    std::unique_ptr<MidiInPort[]> inputPorts_;
    std::unique_ptr<MidiOutPort[]> outputPorts_;

    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool wakePending_ = false;

    std::mutex settleMutex_;
    std::condition_variable settled_;
    std::atomic<int> settleWaiters_{0};

    std::mutex deviceMutex_;
    std::condition_variable deviceCv_;
    uint64_t updatesAsked_ = 0;
    uint64_t updatesDone_ = 0;

    std::recursive_mutex callbackMutex_;
    CvxDeviceChangeCallback deviceCallback_ = nullptr;
    void* deviceCallbackUser_ = nullptr;
};

} // namespace cvx::platform
