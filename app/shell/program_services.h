// What the frame asks of the rest of the program (FrameServices), answered from the
// program's parts: the settings record, the device manager, the monitors and the engine
// client.
//
// Threads: the user-interface thread only.
#pragma once

#include "device_settings.h"
#include "frame_services.h"
#include "mapping/data_map.h"
#include "mapping/map_file_result.h"
#include "settings/settings_store.h"
#include "settings_profile.h"
#include "views/channel_status.h"
#include "views/monitor_line.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

class QString;
class QWidget;

namespace corvex {

class CMidi;
class DesktopCommands;
class DeviceUserInterface;
class ImportedProfile;
class KeyboardTools;
struct ProfileSectionHandler;
class FrameWindow;
class InstrumentPanels;
class LuaScripts;
class Transports;
class MonitorLog;
class SysExTransfer;
class MonitorViews;
class ProgramRouting;
class ProgramPortActivity;
class StatusTools;
struct HandOff;
struct MonitorLook;

// The device manager's view of the record: the selection, SysEx buffers and options.
DeviceSettings deviceSettingsOf(const SettingsProfile& record, int instance);
// The device manager's selection written back into the record (an output without a stored
// routing record gets the default one for its position).
void storeSelection(const StoredSelection& selection, SettingsProfile& record);

// The custom port names of the store ("Custom In Names", "Custom Out Names": device name ->
// custom name) into `settings`.
void readCustomPortNames(SettingsStore& store, DeviceSettings& settings);
// Stores the custom names an imported profile gives the devices present now.
void storeImportedPortNames(SettingsStore& store, const ImportedProfile& profile,
                            const CMidi& midi);

class ProgramServices : public FrameServices {
public:
    ProgramServices(SettingsProfile& record, SettingsStore& store, int instanceNumber);
    ~ProgramServices() override;

    void setMidi(CMidi* midi) { midi_ = midi; }
    // Where the device dialogs show their messages.
    void setDeviceMessages(DeviceUserInterface* messages) { deviceMessages_ = messages; }
    // The monitors; the status data and the log follow the main monitor's lines.
    void setMonitors(MonitorViews* monitors);
    // "MIDI Port Routing": the one routing view, made for the frame (which owns it).
    QWidget* createRoutingView(QWidget* parent);
    // "MIDI Port Activity": the one port activity view, made for the frame.
    QWidget* createPortActivityView(QWidget* parent);
    // The frame the services answer; its status bar takes the colour scheme at once.
    void setFrame(FrameWindow* frame);
    // What a hand-off from a second start does.
    void setHandOffHandler(std::function<void(const HandOff&)> handler) {
        handOff_ = std::move(handler);
    }

    // The "MIDI Status" view over the program's status data, for the frame to show.
    QWidget* createStatusView();
    // The log at start-up (opened when logging is enabled) and at exit (closed with its
    // closing lines and written out).
    void startLogging();
    void stopLogging();

    // The monitors' look from the record.
    MonitorLook monitorLook() const;
    // A monitor changed its font or number style itself: the record and the frame's check
    // marks follow.
    void monitorLookChanged(const MonitorLook& look);
    // Gives the monitors the ports' names (custom name, else device name) for the
    // abbreviated IN and PORT columns.
    void showPortNames();
    // The live state the record keeps only a copy of, copied in before the record is
    // written or exported: filter, running status, device selection and routing, the
    // global map's private file.
    void captureLiveState();
    // The global data map's section ("Data Map") of a profile file. `name` names the
    // profile in messages.
    ProfileSectionHandler profileMapSection(const std::string& name);
    // The global data map (the program's copy of what the engine applies).
    DataMap& globalMap() { return globalMap_; }
    // Sends the global map to the engine.
    void sendGlobalMap();
    // Loads a data map file (binary ".vxm" or ASCII ".txm", by its name; any other name is
    // tried as both) as the global map, keeping the current map's on/off switches, and sends
    // it to the engine; tells the user and returns false when the file cannot be read (the
    // current map then stays). Lines of an ASCII map it could not read are shown too.
    bool loadDataMap(const std::string& path);
    // Sends a SysEx file to the outputs unseen (the command line's and a second start's
    // "send" verb, "S&ysEx File...." with an empty path: the open-file dialog).
    void sendSysExFile(const std::string& path);
    // The SysEx transfers the SysEx view and the commands use.
    SysExTransfer& sysexTransfer() { return *sysex_; }

    // ---- FrameServices ----------------------------------------------------------------------
    uint64_t engineClient() const override;
    void sendShortMessage(const ShortMessage& message) override;
    bool sendSysEx(std::span<const uint8_t> bytes) override;
    cvx::profile::PanicSettings panicSettings() const override;
    int openOutputCount() const override;
    int openInputCount() const override;
    bool portsOpen() const override;
    bool setPassSysEx(bool on) override;
    bool checkDeviceChange() override;
    void showListing(Listing listing) override;
    bool setPcKeyboardActive(bool on) override;
    GeneralOptions generalOptions() const override;
    void setGeneralOptions(const GeneralOptions& options) override;
    FolderSettings folders() const override;
    void setFolders(const FolderSettings& folders) override;
    std::string rememberedFolder(FileKind kind) const override;
    void setRememberedFolder(FileKind kind, const std::string& folder) override;
    void setMonitoringDisplayed(bool on) override;
    void setMonitorHex(ViewKind monitor, bool hex) override;
    std::optional<std::vector<uint8_t>> savedToolBarLayout() const override;
    void saveToolBarLayout(std::span<const uint8_t> layout) override;
    bool loadProfile(const std::string& path) override;
    bool saveProfile(const std::string& path) override;
    bool loadGlobalMap(const std::string& path) override;
    bool globalMapHasEntries() const override { return !globalMap_.items().empty(); }
    bool openSysExFile(const std::string& path) override;
    bool loadSnapshot(const std::string& path) override;
    std::string programFolder() const override;
    int instanceNumber() const override { return instanceNumber_; }
    void sendViewCommand(ViewKind view, int command, intptr_t argument) override;
    bool savedPlacement(ViewKind view, Rect& placement) const override;
    void viewClosed(ViewKind view, const Rect& placement) override;
    intptr_t passOn(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    bool providesCommand(int id) const override;
    bool runCommand(int id) override;
    void closeToolWindow(int id) override;

    // What the device manager tells the user interface (through its message boxes).
    void appendMonitorText(const QString& line);
    void portsChanged();
    void sysexPassingChanged(bool on);
    void sysexBuffersChanged(const SysExBufferConfig& config);

private:
    void showStatusColours();
    QWidget* owner() const;
    // Release MIDI: closes the open ports, or opens the selected ones.
    void switchPorts();
    // Options > Colors: the colour dialog over the record's colours and background picture.
    void editColours();
    // Options > Configure Buffers: the SysEx buffer dialog over the device layer's settings.
    void configureSysExBuffers();
    // The "Filter" dialog over the engine's filter.
    void editFilter();
    // The "Translation Map" dialog over the global data map.
    void editGlobalMap();
    // "MIDI Devices": ports and routing on working copies; OK reopens the ports with them.
    void editMidiDevices();
    // "Customize Port Names": the custom names, stored and shown everywhere after OK.
    void editPortNames();
    // "Global &Data Map": the global map on or off (nothing for a map without items).
    void switchGlobalMap();
    void applyMonitorLook();
    // The frame's saved toggles (display, hex, Pass SysEx) from the record; its run-time
    // state stays.
    void showFrameToggles();
    void showMapMessages(const MapFileResult& result);
    // The main monitor stored `line`: the status data and the log follow it.
    void followMainLine(const MonitorLine& line);
    // The log's open state on the menu check of "Log..." and the status bar.
    void showLogState();
    void editLog();
    void toggleLog();
    // A message of the log or the status tools for the user (nothing when empty).
    void tellUser(const std::string& message);
    void patchSeen(const PatchSeen& patch);

    SettingsProfile& record_;
    SettingsStore& store_;
    int instanceNumber_;
    CMidi* midi_ = nullptr;
    DeviceUserInterface* deviceMessages_ = nullptr;
    MonitorViews* monitors_ = nullptr;
    FrameWindow* frame_ = nullptr;
    std::function<void(const HandOff&)> handOff_;
    DataMap globalMap_;
    std::array<std::string, 6> rememberedFolders_;
    std::unique_ptr<LuaScripts> lua_;
    std::unique_ptr<SysExTransfer> sysex_;
    std::unique_ptr<DesktopCommands> desktop_;
    std::unique_ptr<Transports> transports_;
    std::unique_ptr<InstrumentPanels> instruments_;
    std::unique_ptr<KeyboardTools> keyboardTools_;
    std::unique_ptr<ProgramRouting> routing_;
    std::unique_ptr<ProgramPortActivity> portActivity_;
    std::unique_ptr<StatusTools> status_;
    std::unique_ptr<MonitorLog> log_;
    std::string logLine_; // the main monitor's text of the line being logged
};

} // namespace corvex
