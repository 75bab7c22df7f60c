// Reading events and injecting messages.
#include "core_imports.h"
#include "cvxlib.h"

using cvx::clientapi::core;

extern "C" {

uint16_t GetEvent(uint64_t client, EVENT* out, MonID id) noexcept {
    return core().getEvent(client, out, id);
}

void corvexEvent(uint64_t client, uint16_t status, uint16_t channel, uint16_t data1, uint16_t data2,
                 int type) noexcept {
    core().corvexEvent(client, status, channel, data1, data2, type);
}

void corvexEventDirect(uint64_t client, int output, uint16_t status, uint16_t data1, uint16_t data2,
                       int type) noexcept {
    core().corvexEventDirect(client, output, status, data1, data2, type);
}

void CorvexMapEvent(uint64_t client, uint32_t input, uint16_t status, uint16_t data1,
                    uint16_t data2) noexcept {
    core().corvexMapEvent(client, input, status, data1, data2);
}

} // extern "C"
