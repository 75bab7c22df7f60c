// The device manager: one CMidi for the program, a small façade over the parts that do the
// work, each of which later features may use directly:
//   roster()       the port objects: enumeration, product and custom names, lookups;
//   selection()    which ports are selected, their routing and per-connection data maps;
//   sysexBuffers() the SysEx buffer configuration and the ports' buffers;
//   opener()       opening and closing with the crash guard, the route maps sent on opening;
//   engine()       the engine client and everything the application sends it;
//   patchNames()   the patch name of each program on each channel.
// CMidi itself ties them together where a step needs several: configuration from the
// settings, enumeration (closing open ports first), custom names that move the stored
// selection, device changes, and the listings.
//
// Everything here runs on the user-interface thread: the MIDI service's device-change
// callback only wakes that thread (DeviceChangeSignal), which calls checkDeviceChange().
#pragma once

#include "device_log.h"
#include "device_roster.h"
#include "device_settings.h"
#include "device_user_interface.h"
#include "engine_link.h"
#include "midi_device_query.h"
#include "patch_name_table.h"
#include "port_opener.h"
#include "port_selection.h"
#include "route_map_reader.h"
#include "sysex_buffers.h"

#include <map>
#include <string>

namespace corvex {

class CMidi {
public:
    static constexpr int kMaxDevices = DeviceRoster::kMaxDevices;
    static constexpr int kPortObjects = DeviceRoster::kPortObjects;
    static constexpr int kGeneratedPort = PortSelection::kGeneratedPort;
    static constexpr uint32_t kDefaultRouteMask = PortSelection::kDefaultRouteMask;

    // `query` is the MIDI service's device lists (PlatformDeviceQuery in the program).
    CMidi(DeviceUserInterface& ui, OpenGuardStore& guard, MidiDeviceQuery& query);
    CMidi(const CMidi&) = delete;
    CMidi& operator=(const CMidi&) = delete;

    DeviceRoster& roster() { return roster_; }
    const DeviceRoster& roster() const { return roster_; }
    PortSelection& selection() { return selection_; }
    SysExBuffers& sysexBuffers() { return sysex_; }
    PortOpener& opener() { return opener_; }
    EngineLink& engine() { return engine_; }
    const EngineLink& engine() const { return engine_; }
    PatchNameTable& patchNames() { return patchNames_; }

    // ---- Settings and client ------------------------------------------------------------
    // Takes the profile number, custom names, SysEx configuration, options and the stored
    // selection (restoreSelections() applies it).
    void configure(const DeviceSettings& settings);
    void setRouteMapReader(RouteMapReader* reader) { opener_.setRouteMapReader(reader); }
    // "Verbose": routing details in the device information listing, from the next listing.
    void setVerboseDeviceInfo(bool on) { verboseDeviceInfo_ = on; }
    bool verboseDeviceInfo() const { return verboseDeviceInfo_; }
    // "Options" "AutoOpen" of the engine settings file: false starts with the ports closed.
    static bool autoOpenEnabled();
    // Makes the engine client with the main monitor's target and keeps the filter copy.
    uint64_t createClient(HWND mainWindow, HINSTANCE instance, const CFilter& filter);
    uint64_t client() const { return engine_.client(); }
    void destroyClient() { engine_.destroyClient(); }

    // ---- Devices --------------------------------------------------------------------------
    // Rebuilds the port objects from the MIDI service's lists (writes a new device log);
    // open ports are closed first. Custom names and selections are applied afterwards.
    void enumerateDevices();
    void applyCustomNames() { roster_.applyCustomNames(); }
    // New custom names (device name -> custom name): the ports get them, and the stored
    // selection follows the renamed ports.
    void setCustomNames(std::map<std::string, std::string> inputs,
                        std::map<std::string, std::string> outputs);
    void restoreSelections() { selection_.restore(); }
    StoredSelection saveSelections() { return selection_.save(); }

    int inputCount() const { return roster_.inputCount(); }
    int outputCount() const { return roster_.outputCount(); } // with the mapper slot
    CMidiIn& input(int slot) { return roster_.input(slot); }
    CMidiOut& output(int slot) { return roster_.output(slot); }
    const CMidiIn& input(int slot) const { return roster_.input(slot); }
    const CMidiOut& output(int slot) const { return roster_.output(slot); }
    CMidiIn* findInput(const std::string& name) { return roster_.findInput(name); }
    CMidiOut* findOutput(const std::string& name) { return roster_.findOutput(name); }

    // ---- Opening --------------------------------------------------------------------------
    // Opens the selected ports; whether anything opened.
    bool openPorts() { return opener_.openPorts(); }
    void closePorts() { opener_.closePorts(); }
    bool reopenPorts() { return opener_.reopenPorts(); }
    bool portsOpen() const { return opener_.portsOpen(); }
    int openInputCount() const { return roster_.openInputCount(); }
    int openOutputCount() const { return roster_.openOutputCount(); }
    const std::string& logPath() const { return log_.path(); }

    // ---- SysEx buffers --------------------------------------------------------------------
    const SysExBufferConfig& sysexConfig() const { return sysex_.config(); }
    bool switchSysExOn() { return sysex_.switchOn(); }
    void switchSysExOff() { sysex_.switchOff(); }
    bool setSysExBufferSizes(uint16_t inputCount, uint16_t inputSize, uint16_t outputCount,
                             uint16_t outputSize) {
        return sysex_.setSizes(inputCount, inputSize, outputCount, outputSize);
    }

    // ---- Device changes -------------------------------------------------------------------
    // 350 ms after the service announced a change: when the lists differ, closes the ports,
    // names the devices that left, rebuilds and reopens. Whether anything changed.
    bool checkDeviceChange();

    // ---- Listings (monitor text) ----------------------------------------------------------
    void listDeviceInformation();
    void listRunningStatus();
    void listDataMap();

    // ---- What the application sends the engine -------------------------------------------
    void sendFilter(const CFilter& filter) { engine_.sendFilter(filter); }
    const CFilter& filter() const { return engine_.filter(); }
    int sendRunStatus(bool on) { return engine_.sendRunStatus(on); }
    bool runStatus() const { return engine_.runStatus(); }
    int sendMap(const SMapper& map, uint32_t delaySetting, uint32_t sysexSpacingMs) {
        return engine_.sendMap(map, delaySetting, sysexSpacingMs);
    }
    const SMapper& map() const { return engine_.map(); }

private:
    DeviceUserInterface& ui_;
    DeviceLog log_;
    PortContext context_;
    DeviceRoster roster_;
    PortSelection selection_;
    SysExBuffers sysex_;
    PortOpener opener_;
    EngineLink engine_;
    PatchNameTable patchNames_;
    bool verboseDeviceInfo_ = true;
};

} // namespace corvex
