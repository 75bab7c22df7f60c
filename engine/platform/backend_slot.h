// One started backend as the MIDI service holds it.
#pragma once

#include "platform/midi_backend.h"

#include <memory>
#include <mutex>
#include <string>

namespace cvx::platform {

struct BackendSlot {
    std::unique_ptr<MidiBackend> backend;
    // Held around every call the service makes into the backend, so a backend never sees
    // two calls at once (its own threads, e.g. its input thread, are its business).
    std::mutex callMutex;
    std::string name;        // backend->name()
    bool isVirtual = false;  // the virtual loopback backend
    bool byteStream = false; // backend->carriesRunningStatus()
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
