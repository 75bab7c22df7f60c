// Creating and destroying clients.
#include "core/client.h"
#include "core/engine_lock.h"
#include "core/engine_memory.h"
#include "core/notifier.h"
#include "cvxcore.h"
#include "exports/time_code_lifecycle.h"
#include "ini/engine_folder.h"
#include "input/orphan_buffers.h"
#include "output/output_lane.h"
#include "output/sysex_output_pump.h"
#include "platform/export_guard.h"
#include "routing/delay_pump.h"

namespace cvx::core {

namespace {

constexpr uint16_t kDefaultCaptureValues[2] = {64, 512};

void freeClientParts(CvxClient* client) {
    engineDelete(client->mainQueue);
    engineDelete(client->displayRing);
    engineDelete(client->capturedBuffers);
    engineDelete(client->outputBuffers);
    engineDelete(client->arena);
    engineDelete(client->outputs);
    engineDelete(client);
}

bool allocateClientParts(CvxClient& client) {
    client.mainQueue = engineNew<EventQueue>(&client.queueDrops[MON_MAIN]);
    client.displayRing = engineNew<DisplayChunkRing>();
    client.capturedBuffers = engineNew<BufferQueue>();
    client.outputBuffers = engineNew<BufferQueue>();
    client.arena = engineNew<MapArena>();
    client.outputs = engineNew<OutputPortTable>();
    return client.mainQueue && client.displayRing && client.capturedBuffers &&
           client.outputBuffers && client.arena && client.outputs;
}

// Frees the queues and rings of consumers that are still attached.
void releaseConsumers(CvxClient& client) {
    m32DetachRawMonitor(handleOf(&client));
    m32DetachLua(handleOf(&client));
    m32DetachCvxScript(handleOf(&client));
    EngineGuard guard(engineLock());
    engineDelete(client.consumers.dock);
    engineDelete(client.consumers.dockRing);
    client.consumers.dock = nullptr;
    client.consumers.dockRing = nullptr;
}

} // namespace

} // namespace cvx::core

using namespace cvx::core;

extern "C" {

uint64_t m32CreateClient(HWND mainWindow, HINSTANCE instance, CFilter* filter) noexcept {
    // The folder is for the application's files; a client works without it.
    cvx::exports::guardedCall([] { ensureEngineFolder(); });
    CvxClient* client = engineNew<CvxClient>();
    if (client == nullptr) {
        return 0;
    }
    if (!allocateClientParts(*client)) {
        freeClientParts(client);
        return 0;
    }
    client->windows.main = mainWindow;
    client->instance = instance;
    client->outputs->applicationThread.store(std::this_thread::get_id());
    cvx::timecode::initTimeCodeDefaults(client->timeCode);
    client->flags.captureValues[0] = kDefaultCaptureValues[0];
    client->flags.captureValues[1] = kDefaultCaptureValues[1];
    if (filter != nullptr) {
        client->filter.store(*filter);
    }
    client->handle = registerClient(client);
    if (client->handle == 0) {
        freeClientParts(client);
        return 0;
    }
    return client->handle;
}

void m32DestroyClient(uint64_t handle) noexcept {
    CvxClient* client = clientFromHandle(handle);
    if (client == nullptr) {
        return;
    }
    // No timer may fire on the freed record.
    cvx::timecode::stopGenerators(*client);
    cvx::routing::stopPump(*client);
    cvx::output::stopSysExPump(*client);
    cvx::output::destroyLanes(*client);
    releaseConsumers(*client);
    cvx::input::freeOrphansOf(client);
    unregisterClient(handle);
    freeClientParts(client);
}

} // extern "C"
