// One started backend as the MIDI service holds it.
#pragma once

#include "platform/midi_backend.h"

#include <memory>
#include <mutex>
#include <string>

namespace cvx::platform {

class VirtualBackend;

struct BackendSlot {
    std::unique_ptr<MidiBackend> backend;
    // Held around every control call the service makes into the backend (start, stop, open,
    // close, inputs(), outputs()), so those never overlap. send() is made without it, so a
    // slow open never holds up the real-time paths: sends may run concurrently with control
    // calls and with each other (several handles of one output).
    std::mutex callMutex;
    std::string name;                   // backend->name()
    VirtualBackend* loopback = nullptr; // backend->loopback(): set for the virtual backend
    bool byteStream = false;            // backend->carriesRunningStatus()
};

// What ports need from the service.
class PortHost {
public:
    // An input port queued bytes: the input thread should look at its ports.
    virtual void inputQueued() = 0;
    // An input port finished (or dropped) queued bytes: settle waiters may look again.
    virtual void inputConsumed() = 0;

protected:
    ~PortHost() = default;
};

} // namespace cvx::platform
