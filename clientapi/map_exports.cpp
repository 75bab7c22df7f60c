// The filter, data maps and parameters.
#include "core_imports.h"
#include "cvxlib.h"

using cvx::clientapi::core;

extern "C" {

void SendFilter(uint64_t client, CFilter* filter) noexcept {
    core().sendFilter(client, filter);
}

int SendMap(uint64_t client, const SMapper& map) noexcept {
    return core().sendMap(client, map);
}

int SendPDMap(uint64_t client, int input, int output, const SMapper& map) noexcept {
    return core().sendPDMap(client, input, output, map);
}

void ClearPDMap(uint64_t client, int input, int output) noexcept {
    core().clearPDMap(client, input, output);
}

int SendParms(uint64_t client, uint32_t first, uint32_t sysexSpacingMs) noexcept {
    return core().sendParms(client, first, sysexSpacingMs);
}

} // extern "C"
