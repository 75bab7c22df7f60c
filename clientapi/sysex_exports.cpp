// SysEx buffers, SysEx output, capture and the SysEx displays.
#include "core_imports.h"
#include "cvxlib.h"

using cvx::clientapi::core;

extern "C" {

int AllocSyxBufIn(HMIDIIN input, uint64_t client, uint16_t size) noexcept {
    return core().allocSyxBufIn(input, client, size);
}

int AllocSyxBufOut(HMIDIOUT output, uint64_t client, uint16_t size) noexcept {
    return core().allocSyxBufOut(output, client, size);
}

void FreeSyxBufIn(HMIDIIN input, uint64_t client) noexcept {
    core().freeSyxBufIn(input, client);
}

void FreeSyxBufOut(HMIDIOUT output, uint64_t client) noexcept {
    core().freeSyxBufOut(output, client);
}

uint16_t SendSysEx(uint64_t client, char* bytes, uint16_t length) noexcept {
    return core().sendSysEx(client, bytes, length);
}

uint16_t RetBuf(HMIDIIN input, uint64_t header) noexcept {
    return core().retBuf(input, header);
}

uint32_t GetSysExData(uint64_t client, uint8_t* buffer, uint32_t length) noexcept {
    return core().getSysExData(client, buffer, length);
}

uint16_t GetSysExString(uint64_t client, uint16_t slot, uint8_t* buffer, uint16_t size) noexcept {
    return core().getSysExString(client, slot, buffer, size);
}

int GetRawSxBuf(uint64_t client, MonID id, uint16_t slot, uint8_t* buffer, uint16_t size) noexcept {
    return core().getRawSxBuf(client, id, slot, buffer, size);
}

int DivertSysExStart(uint64_t client, HWND window) noexcept {
    return core().divertSysExStart(client, window);
}

void DivertSysExStop(uint64_t client) noexcept {
    core().divertSysExStop(client);
}

int DivertSysExSet(uint64_t client, uint16_t first, uint16_t second) noexcept {
    return core().divertSysExSet(client, first, second);
}

} // extern "C"
