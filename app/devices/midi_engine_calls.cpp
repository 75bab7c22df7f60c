// The calls that pass the application's client to the engine, and the copies kept of what
// was sent.
#include "midi.h"

#include "cvxlib.h"

namespace corvex {

void CMidi::sendFilter(const CFilter& filter) {
    filter_ = filter;
    SendFilter(context_.client, &filter_);
}

int CMidi::sendRunStatus(bool on) {
    runStatus_ = on;
    return SendRunStatus(context_.client, on ? 1 : 0);
}

int CMidi::sendMap(const SMapper& map, uint32_t delaySetting, uint32_t sysexSpacingMs) {
    const size_t items = map.items != nullptr && map.itemCount > 0 ? map.itemCount : 0;
    mapItems_.assign(map.items, map.items + items);
    const size_t pool = map.sysexPool != nullptr ? map.sysexLength : 0;
    mapPool_.assign(map.sysexPool, map.sysexPool + pool);
    map_ = map;
    map_.itemCount = static_cast<int16_t>(items);
    map_.items = mapItems_.empty() ? nullptr : mapItems_.data();
    map_.sysexLength = static_cast<uint16_t>(pool);
    map_.sysexPool = mapPool_.empty() ? nullptr : mapPool_.data();
    SendParms(context_.client, delaySetting, sysexSpacingMs);
    return SendMap(context_.client, map_);
}

void CMidi::sendPatchMapInfo(PatchMapInfo& info) {
    SendPMInfo(context_.client, &info);
}

void CMidi::getPortStatus(CPortStatus& status) {
    GetPortStatus(context_.client, &status);
}

int CMidi::attachMTC(HWND window) {
    return AttachMTC(context_.client, window);
}

int CMidi::detachMTC() {
    return DetachMTC(context_.client);
}

int CMidi::configMTC(uint16_t rate, uint16_t period, uint32_t start) {
    return ConfigMTC(context_.client, rate, period, start);
}

int CMidi::genMTCStart() {
    return GenMTCStart(context_.client);
}

int CMidi::genMTCStop(bool reset) {
    return GenMTCStop(context_.client, reset ? 1 : 0);
}

int CMidi::attachSync(HWND window) {
    return AttachSync(context_.client, window);
}

int CMidi::detachSync() {
    return DetachSync(context_.client);
}

int CMidi::configSync(uint16_t period, uint16_t tempo, uint16_t timebase) {
    return ConfigSync(context_.client, period, tempo, timebase);
}

int CMidi::startClock() {
    return StartClock(context_.client);
}

int CMidi::stopClock() {
    return StopClock(context_.client);
}

int CMidi::syncCmd(uint16_t command, uint16_t value) {
    return SyncCmd(context_.client, command, value);
}

int CMidi::attachRawMonitor(HWND window) {
    return AttachRawMonitor(context_.client, window);
}

int CMidi::detachRawMonitor() {
    return DetachRawMonitor(context_.client);
}

} // namespace corvex
