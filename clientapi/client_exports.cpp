// Clients, time stamps and the input blocker.
#include "core_imports.h"
#include "cvxlib.h"

using cvx::clientapi::core;

extern "C" {

uint64_t CreateClient(HWND mainWindow, HINSTANCE instance, CFilter* filter) noexcept {
    return core().createClient(mainWindow, instance, filter);
}

void DestroyClient(uint64_t client) noexcept {
    core().destroyClient(client);
}

void StartTimeStamp(uint64_t client) noexcept {
    core().startTimeStamp(client);
}

uint32_t GetTimeStamp(uint64_t client) noexcept {
    return core().getTimeStamp(client);
}

void BlockInput(uint64_t client, int on) noexcept {
    core().inputBlocker(client, on);
}

} // extern "C"
