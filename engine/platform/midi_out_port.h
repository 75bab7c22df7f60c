// One open MIDI output (the object behind an HMIDIOUT), also the "MIDI Mapper" alias.
//
// Short messages: the packed value's low byte is the status, or under running status a
// data byte (the engine shifted the status out); the port keeps the last channel status it
// was given (system common clears it, realtime leaves it, SysEx and midiOutReset leave it)
// to know the message's length. A byte-stream backend receives exactly the bytes the
// engine sent; a whole-message backend receives the message with its status restored.
// A data-only message with no status to continue fails with MMSYSERR_INVALPARAM, as does a
// short message with status F0 or F7.
//
// Long messages are sent on the calling thread (dwBytesRecorded bytes when that is between
// 1 and dwBufferLength, else dwBufferLength bytes, as WINMM sends the buffer length): the
// header is in the queue (MHDR_INQUEUE) while the backend takes it and done (MHDR_DONE)
// when midiOutLongMsg returns; MOM_DONE goes to a function callback. Sends of one port
// never interleave. midiOutReset waits until no long message of the port is in the queue;
// midiOutUnprepareHeader and midiOutClose meanwhile fail with MIDIERR_STILLPLAYING.
//
// A short send takes no lock of the life cycle: it holds sendMutex_ (one send at a time per
// port) and reads the send gate, an atomic copy of the handle's generation and whether it
// is open and whether its device vanished, which every life-cycle change republishes under
// mutex_. Closing clears the gate, then takes sendMutex_ once, so a send that passed the
// gate before has finished when close returns and none passes after.
#pragma once

#include "platform/port_life_cycle.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace cvx::platform {

class MidiOutPort final : public PortLifeCycle {
public:
    // The service opened the device at the backend (or shares it) before.
    void open(BackendSlot* backend, uint64_t key, bool mapper, LPMIDICALLBACK callback,
              DWORD_PTR instance, HMIDIOUT* handle);
    // MOM_OPEN, run by the service once it let go of its open lock.
    void announceOpen(uint32_t generation) { announce(generation, MOM_OPEN); }
    // Returns MIDIERR_STILLPLAYING, MMSYSERR_INVALHANDLE, or MMSYSERR_NOERROR with the
    // port closing: `closeBackend` tells whether the device still needs closing at the
    // backend; the service then calls finishClose().
    MMRESULT beginClose(uint32_t generation, bool& closeBackend, BackendSlot*& backend,
                        uint64_t& key);
    void finishClose();

    MMRESULT shortMsg(uint32_t generation, DWORD message);
    MMRESULT longMsg(uint32_t generation, MIDIHDR* header, UINT size);
    MMRESULT prepareHeader(uint32_t generation, MIDIHDR* header, UINT size);
    MMRESULT unprepareHeader(uint32_t generation, MIDIHDR* header, UINT size);
    MMRESULT reset(uint32_t generation);
    // Device index lookups: the device, whether it is the mapper; NODRIVER when dead.
    MMRESULT device(uint32_t generation, BackendSlot*& backend, uint64_t& key, bool& mapper);

    bool liveDevice(BackendSlot*& backend, uint64_t& key);
    // Returns whether the port held the device open (the service releases its share).
    bool markDead();
    bool forceClose();

private:
    // With mutex_ held: copies generation, open and dead into the send gate.
    void publishSendGate();

    static constexpr uint64_t kGateOpen = 1;
    static constexpr uint64_t kGateDead = 2;

    std::mutex sendMutex_; // held around each backend send: one send at a time per port
    std::atomic<uint64_t> sendGate_{0}; // generation << 32 | kGateOpen | kGateDead
    uint8_t lastStatus_ = 0;            // guarded by sendMutex_
    // ---- guarded by mutex_ (PortLifeCycle) ----
    bool mapper_ = false;
    int longInQueue_ = 0;
};

// The bytes a short message puts on a wire. Returns the count (0: invalid), updating
// `lastStatus`; `byteStream` false restores a left-out status byte.
int encodeShortMessage(DWORD message, bool byteStream, uint8_t& lastStatus, uint8_t out[3]);

} // namespace cvx::platform
