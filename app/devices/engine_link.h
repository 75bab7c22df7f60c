// The device manager's calls into the engine that are not about opening ports: the client
// (made with the main monitor's window, kept for every later call), the copies of what the
// application sent (filter, running status, global data map), the patch-map summary, port
// status and routing records, and the time-code, clock and raw-monitor attachments.
//
// User-interface thread only.
#pragma once

#include "cvx_platform.h"
#include "cvx_records.h"
#include "midi_port.h"

#include <cstdint>
#include <vector>

namespace corvex {

class EngineLink {
public:
    // Shares the client handle with the port objects through `context`.
    explicit EngineLink(PortContext& context) : context_(context) {}

    // Makes the engine client with the main monitor's target and keeps the filter copy;
    // the map copy starts empty.
    uint64_t createClient(HWND mainWindow, HINSTANCE instance, const CFilter& filter);
    void destroyClient();
    uint64_t client() const { return context_.client; }
    HWND mainWindow() const { return mainWindow_; }

    void sendFilter(const CFilter& filter);
    const CFilter& filter() const { return filter_; }
    int sendRunStatus(bool on);
    bool runStatus() const { return runStatus_; }
    // Keeps a copy of the map, then SendParms (delay setting, SysEx spacing) and SendMap.
    int sendMap(const SMapper& map, uint32_t delaySetting, uint32_t sysexSpacingMs);
    const SMapper& map() const { return map_; }
    void sendPatchMapInfo(PatchMapInfo& info);
    void getPortStatus(CPortStatus& status);
    // The routing of the output with engine index `deviceIndex`.
    void updatePortMap(int deviceIndex, CPortMap& map);
    // The output's last channel status byte (GetCurrentStatus).
    uint32_t currentStatus(int deviceIndex) const;

    int attachMTC(HWND window);
    int detachMTC();
    int configMTC(uint16_t rate, uint16_t period, uint32_t start);
    int genMTCStart();
    int genMTCStop(bool reset);
    int attachSync(HWND window);
    int detachSync();
    int configSync(uint16_t period, uint16_t tempo, uint16_t timebase);
    int startClock();
    int stopClock();
    int syncCmd(uint16_t command, uint16_t value);
    int attachRawMonitor(HWND window);
    int detachRawMonitor();

private:
    PortContext& context_;
    HWND mainWindow_ = nullptr;
    CFilter filter_{};
    bool runStatus_ = false;
    SMapper map_{};
    std::vector<MapItem> mapItems_;
    std::vector<uint8_t> mapPool_;
};

} // namespace corvex
