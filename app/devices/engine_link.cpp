#include "engine_link.h"

#include "cvxlib.h"

namespace corvex {

uint64_t EngineLink::createClient(HWND mainWindow, HINSTANCE instance, const CFilter& filter) {
    mainWindow_ = mainWindow;
    filter_ = filter;
    map_ = SMapper{};
    mapItems_.clear();
    mapPool_.clear();
    context_.client = CreateClient(mainWindow, instance, &filter_);
    return context_.client;
}

void EngineLink::destroyClient() {
    if (context_.client != 0) {
        DestroyClient(context_.client);
        context_.client = 0;
    }
}

void EngineLink::sendFilter(const CFilter& filter) {
    filter_ = filter;
    SendFilter(context_.client, &filter_);
}

int EngineLink::sendRunStatus(bool on) {
    runStatus_ = on;
    return SendRunStatus(context_.client, on ? 1 : 0);
}

int EngineLink::sendMap(const SMapper& map, uint32_t delaySetting, uint32_t sysexSpacingMs) {
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

void EngineLink::sendPatchMapInfo(PatchMapInfo& info) {
    SendPMInfo(context_.client, &info);
}

void EngineLink::getPortStatus(CPortStatus& status) {
    GetPortStatus(context_.client, &status);
}

void EngineLink::updatePortMap(int deviceIndex, CPortMap& map) {
    UpdatePortMap(context_.client, static_cast<uint16_t>(deviceIndex), &map);
}

uint32_t EngineLink::currentStatus(int deviceIndex) const {
    return GetCurrentStatus(context_.client, static_cast<uint16_t>(deviceIndex));
}

int EngineLink::attachMTC(HWND window) {
    return AttachMTC(context_.client, window);
}

int EngineLink::detachMTC() {
    return DetachMTC(context_.client);
}

int EngineLink::configMTC(uint16_t rate, uint16_t period, uint32_t start) {
    return ConfigMTC(context_.client, rate, period, start);
}

int EngineLink::genMTCStart() {
    return GenMTCStart(context_.client);
}

int EngineLink::genMTCStop(bool reset) {
    return GenMTCStop(context_.client, reset ? 1 : 0);
}

int EngineLink::attachSync(HWND window) {
    return AttachSync(context_.client, window);
}

int EngineLink::detachSync() {
    return DetachSync(context_.client);
}

int EngineLink::configSync(uint16_t period, uint16_t tempo, uint16_t timebase) {
    return ConfigSync(context_.client, period, tempo, timebase);
}

int EngineLink::startClock() {
    return StartClock(context_.client);
}

int EngineLink::stopClock() {
    return StopClock(context_.client);
}

int EngineLink::syncCmd(uint16_t command, uint16_t value) {
    return SyncCmd(context_.client, command, value);
}

int EngineLink::attachRawMonitor(HWND window) {
    return AttachRawMonitor(context_.client, window);
}

int EngineLink::detachRawMonitor() {
    return DetachRawMonitor(context_.client);
}

} // namespace corvex
