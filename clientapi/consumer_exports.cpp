// Attaching and detaching consumers, and their diverts.
#include "core_imports.h"
#include "cvxlib.h"

using cvx::clientapi::core;

extern "C" {

int AttachRawMonitor(uint64_t client, HWND window) noexcept {
    return core().attachRawMonitor(client, window);
}

int DetachRawMonitor(uint64_t client) noexcept {
    return core().detachRawMonitor(client);
}

int AttachLua(uint64_t client, HWND window, int divert) noexcept {
    return core().attachLua(client, window, divert);
}

int DetachLua(uint64_t client) noexcept {
    return core().detachLua(client);
}

int InitCvxScript(uint64_t client, HWND window) noexcept {
    return core().attachCvxScript(client, window);
}

int TermCvxScript(uint64_t client) noexcept {
    return core().detachCvxScript(client);
}

int DivertCvxScriptInput(uint64_t client, int on, int flush) noexcept {
    return core().divertCvxScript(client, on, flush);
}

int IsCvxScriptInputDiverted(uint64_t client) noexcept {
    return core().isCvxScriptDiverting(client);
}

int InitCvxDock(uint64_t client, uint32_t id, HWND window) noexcept {
    return core().attachDock(client, id, window);
}

int TermCvxDock(uint64_t client, uint32_t id) noexcept {
    return core().detachDock(client, id);
}

int DivertCvxDockInput(uint64_t client, int on, int flush) noexcept {
    return core().divertDock(client, on, flush);
}

int IsCvxDockInputDiverted(uint64_t client) noexcept {
    return core().isDockDiverting(client);
}

uint16_t GetNumAttach(uint64_t client) noexcept {
    return core().getNumAttach(client);
}

} // extern "C"
