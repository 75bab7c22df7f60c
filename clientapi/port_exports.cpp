// Opening and closing ports, routing and the patch map.
#include "core_imports.h"
#include "cvxlib.h"

using cvx::clientapi::core;

extern "C" {

uint16_t OpenMidiIn(HMIDIIN* out, uint16_t device, uint64_t client) noexcept {
    return core().openMidiIn(out, device, client);
}

uint16_t OpenMidiOut(HMIDIOUT* out, uint16_t device, int mapper, CPortMap* map,
                     uint64_t client) noexcept {
    return core().openMidiOut(out, device, mapper, map, client);
}

int CloseMidiIn(HMIDIIN input, uint64_t client) noexcept {
    return core().closeMidiIn(input, client);
}

int CloseMidiOut(HMIDIOUT output, uint64_t client) noexcept {
    return core().closeMidiOut(output, client);
}

uint16_t StartMidiIn(HMIDIIN input) noexcept {
    return core().startMidiIn(input);
}

void UpdatePortMap(uint64_t client, uint16_t output, CPortMap* map) noexcept {
    core().updPortMap(client, output, map);
}

void SendPMInfo(uint64_t client, PatchMapInfo* info) noexcept {
    core().sendPMInfo(client, info);
}

int SendRunStatus(uint64_t client, int on) noexcept {
    return core().sendRunStatus(client, on);
}

} // extern "C"
