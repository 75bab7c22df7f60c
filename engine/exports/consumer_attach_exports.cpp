// Attaching and detaching the secondary consumers (raw monitor, Lua, script host, Dock, MTC
// and sync windows) and switching the script and Dock diverts.
#include "core/client.h"
#include "core/engine_lock.h"
#include "core/engine_memory.h"
#include "core/notifier.h"
#include "cvxcore.h"
#include "exports/time_code_lifecycle.h"

#include <atomic>

namespace cvx::core {

namespace {

constexpr int kWakeupCount = 4;

// Installs a new queue in `slot` unless one exists. False when it cannot be allocated.
template <class T> bool ensureAllocated(T*& slot) {
    if (slot != nullptr) {
        return true;
    }
    T* made = engineNew<T>();
    if (made == nullptr) {
        return false;
    }
    EngineGuard guard(engineLock());
    slot = made;
    return true;
}

template <class T> void release(T*& slot) {
    T* old = nullptr;
    {
        EngineGuard guard(engineLock());
        old = slot;
        slot = nullptr;
    }
    engineDelete(old);
}

void queueWakeups(EventQueue* queue) {
    EVENT wakeup{};
    wakeup.message = CVX_WAKEUP_MESSAGE;
    EngineGuard guard(engineLock());
    for (int i = 0; i < kWakeupCount && queue != nullptr; ++i) {
        queue->enqueue(wakeup);
    }
}

// Attach of a consumer with one queue: fails on a null handle or window or when a window is
// already attached.
int attachQueueConsumer(CvxClient* client, HWND window, std::atomic<HWND>& target,
                        EventQueue*& queue) {
    if (client == nullptr || window == nullptr || target.load() != nullptr) {
        return 0;
    }
    if (!ensureAllocated(queue)) {
        return 0;
    }
    target.store(window);
    return 1;
}

int detachQueueConsumer(std::atomic<HWND>& target, EventQueue*& queue) {
    if (target.load() == nullptr) {
        return 0;
    }
    target.store(nullptr);
    release(queue);
    return 1;
}

void decrementAttachCount(CvxClient& client) {
    if (client.flags.attachCount > 0) {
        --client.flags.attachCount;
    }
}

int detachChunkConsumer(CvxClient& client, std::atomic<HWND>& target, EventQueue*& queue,
                        ScriptChunkRing*& ring) {
    if (target.load() == nullptr) {
        return 0;
    }
    target.store(nullptr);
    release(queue);
    release(ring);
    decrementAttachCount(client);
    return 1;
}

EventQueue* lockedQueue(EventQueue* const& slot) {
    EngineGuard guard(engineLock());
    return slot;
}

} // namespace

} // namespace cvx::core

using namespace cvx::core;

extern "C" {

int m32AttachRawMonitor(uint64_t handle, HWND window) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    return attachQueueConsumer(client, window, client->windows.rawMonitor, client->consumers.raw);
}

int m32DetachRawMonitor(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    cancelRawNotify(*client);
    return detachQueueConsumer(client->windows.rawMonitor, client->consumers.raw);
}

int m32AttachLua(uint64_t handle, HWND window, int divert) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    int attached = attachQueueConsumer(client, window, client->windows.lua, client->consumers.lua);
    if (attached) {
        client->flags.luaDivert.store(static_cast<int16_t>(divert));
    }
    return attached;
}

int m32DetachLua(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    client->flags.luaDivert.store(0);
    return detachQueueConsumer(client->windows.lua, client->consumers.lua);
}

int m32AttachCvxScript(uint64_t handle, HWND window) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || window == nullptr || client->windows.script.load() != nullptr) {
        return 0;
    }
    // Input is not diverted to a half-made consumer.
    int16_t divert = client->flags.scriptDivert.exchange(0);
    bool made =
        ensureAllocated(client->consumers.script) && ensureAllocated(client->consumers.scriptRing);
    if (made) {
        client->windows.script.store(window);
        ++client->flags.attachCount;
    }
    client->flags.scriptDivert.store(divert);
    return made ? 1 : 0;
}

int m32DetachCvxScript(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    client->flags.scriptDivert.store(0);
    return detachChunkConsumer(*client, client->windows.script, client->consumers.script,
                               client->consumers.scriptRing);
}

int m32AttachDock(uint64_t handle, uint32_t id, HWND window) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || id == 0 || client->flags.dockId != 0 || window == nullptr ||
        client->windows.dock.load() != nullptr) {
        return 0;
    }
    if (!ensureAllocated(client->consumers.dock) || !ensureAllocated(client->consumers.dockRing)) {
        return 0;
    }
    client->windows.dock.store(window);
    ++client->flags.attachCount;
    client->flags.dockId = id;
    return 1;
}

int m32DetachDock(uint64_t handle, uint32_t id) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr || (id != 0 && id != client->flags.dockId)) {
        return 0;
    }
    client->flags.dockId = 0;
    m32DivertDock(handle, 0, 1);
    return detachChunkConsumer(*client, client->windows.dock, client->consumers.dock,
                               client->consumers.dockRing);
}

int m32DivertCvxScript(uint64_t handle, int on, int flush) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    if (flush && client->windows.script.load() != nullptr) {
        queueWakeups(lockedQueue(client->consumers.script));
    }
    return client->flags.scriptDivert.exchange(static_cast<int16_t>(on));
}

int m32DivertDock(uint64_t handle, int on, int flush) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    int previous = client->flags.dockDivert.exchange(static_cast<int16_t>(on));
    if (flush && client->windows.dock.load() != nullptr) {
        queueWakeups(lockedQueue(client->consumers.dock));
    }
    return previous;
}

int m32IsCvxScriptDiverting(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    return client == nullptr ? 0 : client->flags.scriptDivert.load();
}

int m32IsDockDiverting(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    return client == nullptr ? 0 : client->flags.dockDivert.load();
}

uint16_t m32GetNumAttach(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    return client == nullptr ? 0 : client->flags.attachCount;
}

int m32AttachMTC(uint64_t handle, HWND window) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    HWND none = nullptr;
    if (client->windows.mtc.compare_exchange_strong(none, window)) {
        cvx::timecode::resetReceivedTime(client->timeCode);
    }
    return 1;
}

int m32DetachMTC(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    client->windows.mtc.store(nullptr);
    cvx::timecode::resetReceivedTime(client->timeCode);
    return 1;
}

int m32AttachSync(uint64_t handle, HWND window) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    HWND none = nullptr;
    client->windows.sync.compare_exchange_strong(none, window);
    return 1;
}

int m32DetachSync(uint64_t handle) {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return 0;
    }
    client->windows.sync.store(nullptr);
    return 1;
}

} // extern "C"
