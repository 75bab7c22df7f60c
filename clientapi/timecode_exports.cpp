// MIDI time code and the sync clock.
#include "core_imports.h"
#include "cvxlib.h"

using cvx::clientapi::core;

extern "C" {

int AttachMTC(uint64_t client, HWND window) noexcept {
    return core().attachMTC(client, window);
}

int DetachMTC(uint64_t client) noexcept {
    return core().detachMTC(client);
}

int ConfigMTC(uint64_t client, uint16_t rate, uint16_t period, uint32_t start) noexcept {
    return core().configMTC(client, rate, period, start);
}

int GenMTCStart(uint64_t client) noexcept {
    return core().genMTCStart(client);
}

int GenMTCStop(uint64_t client, int reset) noexcept {
    return core().genMTCStop(client, reset);
}

int AttachSync(uint64_t client, HWND window) noexcept {
    return core().attachSync(client, window);
}

int DetachSync(uint64_t client) noexcept {
    return core().detachSync(client);
}

int ConfigSync(uint64_t client, uint16_t period, uint16_t tempo, uint16_t timebase) noexcept {
    return core().configSync(client, period, tempo, timebase);
}

int StartClock(uint64_t client) noexcept {
    return core().startClock(client);
}

int StopClock(uint64_t client) noexcept {
    return core().stopClock(client);
}

int SyncCmd(uint64_t client, uint16_t command, uint16_t value) noexcept {
    return core().syncCmd(client, command, value);
}

} // extern "C"
