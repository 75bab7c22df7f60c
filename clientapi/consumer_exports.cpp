// Attaching and detaching consumers, and their diverts.
#include "core_imports.h"
#include "cvxlib.h"

using cvx::clientapi::core;

extern "C" {

int AttachRawMonitor(uint64_t client, HWND window) {
    return core().attachRawMonitor(client, window);
}

int DetachRawMonitor(uint64_t client) {
    return core().detachRawMonitor(client);
}

int AttachLua(uint64_t client, HWND window, int divert) {
    return core().attachLua(client, window, divert);
}

int DetachLua(uint64_t client) {
    return core().detachLua(client);
}

int InitCvxScript(uint64_t client, HWND window) {
    return core().attachCvxScript(client, window);
}

int TermCvxScript(uint64_t client) {
    return core().detachCvxScript(client);
}

int DivertCvxScriptInput(uint64_t client, int on, int flush) {
    return core().divertCvxScript(client, on, flush);
}

int IsCvxScriptInputDiverted(uint64_t client) {
    return core().isCvxScriptDiverting(client);
}

int InitCvxDock(uint64_t client, uint32_t id, HWND window) {
    return core().attachDock(client, id, window);
}

int TermCvxDock(uint64_t client, uint32_t id) {
    return core().detachDock(client, id);
}

int DivertCvxDockInput(uint64_t client, int on, int flush) {
    return core().divertDock(client, on, flush);
}

int IsCvxDockInputDiverted(uint64_t client) {
    return core().isDockDiverting(client);
}

uint16_t GetNumAttach(uint64_t client) {
    return core().getNumAttach(client);
}

} // extern "C"
