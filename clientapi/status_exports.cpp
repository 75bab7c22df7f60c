// Port status, open counts and open tests.
#include "core_imports.h"
#include "cvxlib.h"

using cvx::clientapi::core;

extern "C" {

void GetPortStatus(uint64_t client, CPortStatus* status) noexcept {
    core().getPortStatus(client, status);
}

uint32_t GetCurrentStatus(uint64_t client, uint16_t output) noexcept {
    return core().getCurrentStatus(client, output);
}

uint16_t InDevOpenCount(uint64_t client) noexcept {
    return core().inDevOpenCount(client);
}

uint16_t OutDevOpenCount(uint64_t client) noexcept {
    return core().outDevOpenCount(client);
}

int IsInDevOpen(uint64_t client, uint16_t input) noexcept {
    return core().isInDevOpen(client, input);
}

int IsOutDevOpen(uint64_t client, uint16_t output) noexcept {
    return core().isOutDevOpen(client, output);
}

int GetPortCounters(uint64_t client, CPortCounters* counters) noexcept {
    return core().getPortCounters(client, counters);
}

} // extern "C"
