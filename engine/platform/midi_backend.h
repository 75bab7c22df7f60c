// The contract between the MIDI service and one source of MIDI endpoints (the virtual
// loopback cables, the ALSA sequencer, JACK).
//
// How a backend fits in:
// - The service owns the numbered device lists, the WINMM-shaped handles, buffer headers,
//   input parsing (running status, interleaved realtime bytes, SysEx into queued buffers),
//   time stamps, the input thread that runs the application's callbacks, the "MIDI Mapper"
//   alias and the test tap. A backend only moves bytes.
// - A backend names its endpoints with keys of its own choosing that stay the same for as
//   long as the endpoint exists (an ALSA client:port pair, a JACK port id, a cable number),
//   so the service can keep open handles across re-enumeration.
// - Inputs: while an endpoint is open, the backend hands every byte it receives, in wire
//   order, to the InputSink it was given, from any thread except a real-time audio thread
//   (JACK's process callback moves data through a ring buffer to a thread of the backend).
//   The sink queues the bytes and returns at once; callbacks run later on the service's
//   input thread, so a backend may call the sink while the service is sending to it.
// - Outputs: the service passes each message whole, with its status byte, unless the
//   backend is a byte stream (`carriesRunningStatus()`), which receives exactly the bytes
//   the engine sent, status left out under running status. SysEx arrives as the bytes of
//   one buffer, which may be a piece of a longer message. A backend whose send() cannot
//   wait (`sendNeverBlocks()`) is sent to from whichever thread produced the message; any
//   other backend's sends go through a thread of the output's own, so a stuck device holds
//   up only that output.
// - Arrival and removal: when the endpoint list changes, the backend calls
//   BackendHost::endpointsChanged() from any thread; the service re-reads inputs() and
//   outputs(), renumbers, and reports arrivals and removals. An endpoint that vanished while
//   open is simply gone: later sends fail, no callback is run for it again.
#pragma once

#include "cvx_platform.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cvx::platform {

class VirtualBackend;

struct EndpointInfo {
    uint64_t key = 0; // the backend's stable identity of the endpoint
    std::string name; // what the user sees, e.g. "Corvex Loopback 1", "Synth:Port 1"
};

class InputSink {
public:
    // Bytes as they arrived on the wire; `arrivalMs` is timeGetTime() at arrival (or the
    // backend's more precise equivalent on the same clock).
    virtual void receive(const uint8_t* bytes, size_t length, uint32_t arrivalMs) = 0;
    // The backend lost `deliveries` incoming messages before they reached receive() (its
    // own buffer was full). Any thread, a real-time audio thread included: never blocks.
    virtual void countOverrun(uint32_t deliveries) = 0;

protected:
    ~InputSink() = default;
};

class BackendHost {
public:
    virtual void endpointsChanged() = 0;

protected:
    ~BackendHost() = default;
};

class MidiBackend {
public:
    virtual ~MidiBackend() = default;

    // "virtual", "alsa" or "jack": the word CORVEX_MIDI uses.
    virtual const char* name() const = 0;
    // False when the backend cannot run here (no sequencer, no server); it is then skipped.
    virtual bool start(BackendHost& host) = 0;
    // Closes everything still open; no sink is called after stop() returns.
    virtual void stop() = 0;

    virtual std::vector<EndpointInfo> inputs() = 0;
    virtual std::vector<EndpointInfo> outputs() = 0;

    // Results are MMSYSERR_* / MIDIERR_* codes; MMSYSERR_NODRIVER for a vanished endpoint.
    virtual MMRESULT openInput(uint64_t key, InputSink& sink) = 0;
    // No sink call for this endpoint happens after closeInput() returns.
    virtual void closeInput(uint64_t key) = 0;
    virtual MMRESULT openOutput(uint64_t key) = 0;
    virtual void closeOutput(uint64_t key) = 0;

    // One short message, or one SysEx buffer's bytes.
    virtual MMRESULT send(uint64_t key, const uint8_t* bytes, size_t length) = 0;
    // True for byte-stream transports, which get running status exactly as sent.
    virtual bool carriesRunningStatus() const = 0;
    // True when send() never waits: not for room, not for another thread, not for a device.
    // A short lock that is only ever held briefly is allowed. The engine then sends from
    // real-time threads directly; otherwise it hands sends to a thread of the output's own.
    // The conservative answer, false, is the default.
    virtual bool sendNeverBlocks() const { return false; }
    // The virtual backend itself (its loopback cables, which the test tap reaches); null
    // for every other backend.
    virtual VirtualBackend* loopback() { return nullptr; }
};

} // namespace cvx::platform
