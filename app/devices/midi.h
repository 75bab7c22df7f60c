// The device manager: one CMidi owns a CMidiIn and a CMidiOut object for each of up to 136
// devices, turns the MIDI service's device lists into them, opens and closes the selected
// ports through the engine (guarded against drivers that crash while opening), gives them
// SysEx buffers, logs every step to the device log, names failures for the user, and
// rebuilds everything when devices come and go. It also keeps the application's copies of
// what it sends the engine (filter, data map, running status) and the per-connection data
// maps.
//
// Everything here runs on the user-interface thread: the MIDI service's device-change
// callback only wakes that thread (DeviceChangeSignal), which calls checkDeviceChange().
#pragma once

#include "cvx_platform.h"
#include "cvx_records.h"
#include "device_log.h"
#include "device_settings.h"
#include "device_user_interface.h"
#include "loss_report.h"
#include "midi_device_query.h"
#include "midi_port.h"
#include "port_data_map.h"
#include "route_map_reader.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace corvex {

class CMidi {
public:
    static constexpr int kMaxDevices = 135;    // per direction, not counting the mapper
    static constexpr int kPortObjects = 136;   // port objects per direction
    static constexpr int kGeneratedPort = 135; // input index of "Corvex Events"
    static constexpr uint32_t kDefaultRouteMask = 0x3FFFF;

    // `query` is the MIDI service's device lists (PlatformDeviceQuery in the program).
    CMidi(DeviceUserInterface& ui, OpenGuardStore& guard, MidiDeviceQuery& query);
    CMidi(const CMidi&) = delete;
    CMidi& operator=(const CMidi&) = delete;
    ~CMidi();

    // ---- Settings and client ------------------------------------------------------------
    // Takes the profile number, custom names, SysEx configuration, options and the stored
    // selection (restoreSelections() applies it).
    void configure(const DeviceSettings& settings);
    void setRouteMapReader(RouteMapReader* reader) { routeMapReader_ = reader; }
    // "Verbose": routing details in the device information listing.
    void setVerboseDeviceInfo(bool on) { settings_.verboseDeviceInfo = on; }
    // "Options" "AutoOpen" of the engine settings file: false starts with the ports closed.
    static bool autoOpenEnabled();
    // Makes the engine client with the main monitor's target and keeps the filter copy.
    uint64_t createClient(HWND mainWindow, HINSTANCE instance, const CFilter& filter);
    // Uses a client the program made.
    void adoptClient(uint64_t client, const CFilter& filter);
    uint64_t client() const { return context_.client; }
    HWND mainWindow() const { return mainWindow_; }
    void destroyClient();

    // ---- Devices --------------------------------------------------------------------------
    // Rebuilds the port objects from the MIDI service's lists (writes a new device log);
    // open ports are closed first. Custom names and selections are applied afterwards.
    void enumerateDevices();
    // Gives every port its custom name, if it has one.
    void applyCustomNames();
    // New custom names (device name -> custom name): the ports get them, and the stored
    // selection follows the renamed ports.
    void setCustomNames(std::map<std::string, std::string> inputs,
                        std::map<std::string, std::string> outputs);
    // Selects the stored ports by display name and gives the outputs their stored routing.
    void restoreSelections();
    // The stored form of the selection, routing and data maps (devices absent now keep
    // theirs), for the settings.
    StoredSelection saveSelections();

    int inputCount() const { return inputCount_; }
    int outputCount() const { return outputCount_; } // with the mapper slot
    int mapperSlot() const { return outputCount_ - 1; }
    CMidiIn& input(int slot) { return *inputs_[slot]; }
    CMidiOut& output(int slot) { return *outputs_[slot]; }
    const CMidiIn& input(int slot) const { return *inputs_[slot]; }
    const CMidiOut& output(int slot) const { return *outputs_[slot]; }
    // By display name; null when none.
    CMidiIn* findInput(const std::string& displayName);
    CMidiOut* findOutput(const std::string& displayName);
    // By engine index (device index); null when none.
    CMidiIn* inputAt(int deviceIndex);
    CMidiOut* outputAt(int deviceIndex);

    // ---- Opening --------------------------------------------------------------------------
    // Opens the selected ports; whether anything opened.
    bool openPorts();
    void closePorts();
    bool reopenPorts();
    bool portsOpen() const { return portsOpen_; }
    int openInputCount() const;
    int openOutputCount() const;
    const std::string& logPath() const { return log_.path(); }

    // ---- Routing and data maps ------------------------------------------------------------
    CPortDataMap& portDataMap() { return portDataMap_; }
    // ClearPDMap and, where assigned, SendPDMap for every open route.
    void sendPortDataMaps();
    void updatePortMap(int outputSlot);

    // ---- SysEx buffers --------------------------------------------------------------------
    const SysExBufferConfig& sysexConfig() const { return sysex_; }
    // Enforces the minimums and gives every open port its buffers; false (and SysEx off)
    // when the buffers could not all be had.
    bool switchSysExOn();
    void switchSysExOff();
    // Stores new buffer counts and sizes, renewing the buffers when SysEx is on; false when
    // the renewal failed ("Could not SetBuffer Sizes." was shown).
    bool setSysExBufferSizes(uint16_t inputCount, uint16_t inputSize, uint16_t outputCount,
                             uint16_t outputSize);

    // ---- Device changes -------------------------------------------------------------------
    // 350 ms after the service announced a change: when the lists differ, closes the ports,
    // names the devices that left, rebuilds and reopens. Whether anything changed.
    bool checkDeviceChange();

    // ---- Listings (monitor text) ----------------------------------------------------------
    void listDeviceInformation();
    void listRunningStatus();
    void listDataMap();

    // ---- What the application sends the engine -------------------------------------------
    void sendFilter(const CFilter& filter);
    const CFilter& filter() const { return filter_; }
    int sendRunStatus(bool on);
    bool runStatus() const { return runStatus_; }
    // Keeps a copy of the map, then SendParms (delay setting, SysEx spacing) and SendMap.
    int sendMap(const SMapper& map, uint32_t delaySetting, uint32_t sysexSpacingMs);
    const SMapper& map() const { return map_; }
    void sendPatchMapInfo(PatchMapInfo& info);
    void getPortStatus(CPortStatus& status);

    // ---- Time code and clock --------------------------------------------------------------
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

    // ---- Patch names (per channel, General MIDI until instrument definitions change them)
    const std::string& patchName(int channel, int program) const;
    void setPatchName(int channel, int program, std::string name);

private:
    struct DeviceList {
        std::vector<std::string> inputs;
        std::vector<std::string> inputBackends;
        std::vector<std::string> outputs;
        std::vector<std::string> outputBackends;
    };
    class OpeningScope;

    bool confirmRetry();
    // Writes what the open ports and the queues lost (GetPortCounters) to the device log,
    // before the ports close; nothing when nothing was lost.
    void logLostData();
    int openSelectedInputs();
    int openSelectedOutputs();
    void startInputs();
    bool giveInputBuffers();
    bool giveOutputBuffers(bool onlyWhereNeeded);
    void releaseInputBuffers();
    void releaseOutputBuffers();
    void dropSysEx();
    bool outputNeedsSysEx(const CMidiOut& output) const;
    void disconnectInput(int deviceIndex);
    void reconnectInput(int deviceIndex);

    void resetPorts();
    void enumerateInputs(std::string& notice);
    void enumerateOutputs(std::string& notice);
    DeviceList readDeviceList();
    bool sameAsPorts(const DeviceList& list) const;
    void announceDisconnected(const DeviceList& list);

    StoredSelection selectionOfPorts() const;
    std::vector<std::string> inputNames() const;
    std::vector<std::string> outputNames() const;
    void restoreOutput(CMidiOut& output, const std::optional<CPortMap>& stored, bool first);

    DeviceUserInterface& ui_;
    OpenGuardStore& guard_;
    HWND mainWindow_ = nullptr;
    RouteMapReader* routeMapReader_ = nullptr;
    DeviceLog log_;
    LossReport lossReport_;
    PortContext context_;
    std::array<std::unique_ptr<CMidiIn>, kPortObjects> inputs_;
    std::array<std::unique_ptr<CMidiOut>, kPortObjects> outputs_;
    int inputCount_ = 0;
    int outputCount_ = 0;
    bool portsOpen_ = false;
    std::vector<int> failedInputs_; // device indices that failed at the last open

    DeviceSettings settings_;
    StoredSelection remembered_;
    SysExBufferConfig sysex_;
    CPortDataMap portDataMap_;
    CFilter filter_{};
    bool runStatus_ = false;
    SMapper map_{};
    std::vector<MapItem> mapItems_;
    std::vector<uint8_t> mapPool_;
    std::vector<std::string> patchNames_; // 16 channels x 128 programs
};

} // namespace corvex
