#include "shell/program_services.h"

#include "command_ids.h"
#include "cvxlib.h"
#include "frame_settings.h"
#include "frame_window.h"
#include "instruments/key_map.h"
#include "instruments/ui/instrument_panels.h"
#include "instruments/ui/keyboard_tools.h"
#include "lua/ui/lua_scripts.h"
#include "mapping/data_map.h"
#include "mapping/filter_model.h"
#include "mapping/map_editor_model.h"
#include "mapping/map_file_loader.h"
#include "mapping/map_settings.h"
#include "mapping/profile_map.h"
#include "mapping/ui/filter_dialog.h"
#include "mapping/ui/translation_map_dialog.h"
#include "midi.h"
#include "profile_file.h"
#include "routing/custom_port_names.h"
#include "routing/device_presets.h"
#include "routing/device_routing.h"
#include "routing/ui/midi_devices_dialog.h"
#include "routing/ui/port_names_dialog.h"
#include "settings/folders.h"
#include "settings/window_placement.h"
#include "shell/desktop_commands.h"
#include "shell/handoff_block.h"
#include "shell/monitor_views.h"
#include "shell/program_port_activity.h"
#include "shell/program_routing.h"
#include "shell/startup_texts.h"
#include "shell/user_warning.h"
#include "sysex/ui/sysex_transfer.h"
#include "sysex_buffers_dialog.h"
#include "transport/ui/transports.h"
#include "views/colour_dialog.h"
#include "views/log_dialog.h"
#include "views/monitor_log.h"
#include "views/scheme_colours.h"
#include "views/status_tools.h"
#include "window_messages.h"

#include <QApplication>
#include <QScrollArea>
#include <QString>

#include <map>
#include <vector>

namespace corvex {
namespace {

constexpr char kToolBarKey[] = "Toolbar";
constexpr char kToolBarValue[] = "Toolbar6";

// The open ports by device index with the names the user sees, for the Lua scripts.
std::map<int, std::string> openPortNames(const CMidi* midi, bool inputs) {
    std::map<int, std::string> ports;
    if (midi == nullptr) {
        return ports;
    }
    const int count = inputs ? midi->inputCount() : midi->outputCount();
    for (int slot = 0; slot < count; ++slot) {
        const CMidiPort& port = inputs ? static_cast<const CMidiPort&>(midi->input(slot))
                                       : static_cast<const CMidiPort&>(midi->output(slot));
        if (port.IsOpen() != 0 && port.deviceIndex() >= 0) {
            ports[port.deviceIndex()] = port.displayName();
        }
    }
    return ports;
}

// "Open: <inputs> -> <outputs>" with the names the user sees.
std::string openPortsLine(const CMidi& midi) {
    const auto join = [](const std::map<int, std::string>& ports) {
        std::string text;
        for (const auto& [index, name] : ports) {
            text += (text.empty() ? "" : ", ") + name;
        }
        return text.empty() ? std::string("none") : text;
    };
    return "Open inputs: " + join(openPortNames(&midi, true)) +
           "; open outputs: " + join(openPortNames(&midi, false));
}

size_t viewIndex(ViewKind view) {
    return static_cast<size_t>(view);
}

} // namespace

DeviceSettings deviceSettingsOf(const SettingsProfile& record, int instance) {
    DeviceSettings settings;
    settings.profileNumber = instance;
    settings.selection.inputs = record.devices.inputs;
    settings.selection.outputs = record.devices.outputs;
    for (const CPortMap& map : record.devices.outputMaps) {
        settings.selection.outputMaps.emplace_back(map);
    }
    for (const PortDataMapSetting& map : record.devices.portDataMaps) {
        settings.selection.routeMaps.push_back({map.output, map.input, map.path});
    }
    settings.sysex = {record.options.passSysex, static_cast<uint16_t>(record.options.bufferCount),
                      static_cast<uint16_t>(record.options.bufferSize),
                      static_cast<uint16_t>(record.options.outputBufferCount),
                      static_cast<uint16_t>(record.options.outputBufferSize)};
    settings.verboseDeviceInfo = record.display.verbose;
    settings.versionText = CVX_VERSION;
    return settings;
}

void storeSelection(const StoredSelection& selection, SettingsProfile& record) {
    record.devices.inputs = selection.inputs;
    record.devices.outputs = selection.outputs;
    record.devices.outputMaps.clear();
    for (size_t i = 0; i < selection.outputs.size(); ++i) {
        const bool stored = i < selection.outputMaps.size() && selection.outputMaps[i];
        record.devices.outputMaps.push_back(
            stored ? *selection.outputMaps[i] : defaultOutputMap(i + 1, selection.inputs.size()));
    }
    record.devices.portDataMaps.clear();
    for (const StoredRouteMap& map : selection.routeMaps) {
        record.devices.portDataMaps.push_back({map.outputPosition, map.inputPosition, map.path});
    }
}

void readCustomPortNames(SettingsStore& store, DeviceSettings& settings) {
    const SettingsTree tree = store.read();
    settings.customInputNames = storedCustomNames(tree, true);
    settings.customOutputNames = storedCustomNames(tree, false);
}

void storeImportedPortNames(SettingsStore& store, const ImportedProfile& profile,
                            const CMidi& midi) {
    std::vector<std::string> inputs;
    for (int slot = 0; slot < midi.inputCount(); ++slot) {
        inputs.push_back(midi.input(slot).productName());
    }
    std::vector<std::string> outputs;
    for (int slot = 0; slot < midi.outputCount(); ++slot) {
        outputs.push_back(midi.output(slot).productName());
    }
    storeCustomPortNames(store, profile, inputs, outputs);
}

ProgramServices::ProgramServices(SettingsProfile& record, SettingsStore& store, int instanceNumber)
    : record_(record), store_(store), instanceNumber_(instanceNumber),
      lua_(std::make_unique<LuaScripts>(
          record, [this](bool inputs) { return openPortNames(midi_, inputs); })),
      desktop_(std::make_unique<DesktopCommands>(record.options.midiPlayer)),
      transports_(std::make_unique<Transports>(record.instanceOptions, record.display.colours,
                                               [this](int command) {
                                                   if (frame_ != nullptr) {
                                                       frame_->handleMessage(WM_CVX_CHILDCLOSED, 0,
                                                                             command);
                                                   }
                                               })),
      instruments_(std::make_unique<InstrumentPanels>(record.options, store)),
      keyboardTools_(std::make_unique<KeyboardTools>(
          engineSettingsFolder() + kKeyMapFileName, [this] { return engineClient(); },
          [this](int command) {
              if (frame_ != nullptr) {
                  frame_->handleMessage(WM_CVX_CHILDCLOSED, kChildClosedDestroy, command);
              }
          })),
      status_(std::make_unique<StatusTools>(record.display,
                                            [this](uint32_t m) {
                                                corvexEvent(engineClient(), m & 0xF0, m & 0x0F,
                                                            (m >> 8) & 0x7F, (m >> 16) & 0x7F, 0);
                                            })),
      log_(std::make_unique<MonitorLog>(record.logFile, dataFolder(), CVX_VERSION)) {
    status_->setPatchSeenHandler([this](const PatchSeen& patch) { this->patchSeen(patch); });
    status_->setSnapshotFolder(
        [this] { return rememberedFolder(FileKind::Snapshot); },
        [this](const std::string& folder) { setRememberedFolder(FileKind::Snapshot, folder); });
    SysExTransferHost host;
    host.client = [this] { return engineClient(); };
    host.passSysEx = [this] { return midi_ != nullptr && midi_->sysexConfig().enabled; };
    host.openOutputs = [this] { return midi_ != nullptr ? midi_->openOutputCount() : 0; };
    host.openInputs = [this] { return midi_ != nullptr ? midi_->openInputCount() : 0; };
    host.buffers = [this] {
        SysExBufferConfig config = midi_ != nullptr ? midi_->sysexConfig() : SysExBufferConfig{};
        return SysExBufferNumbers{config.inputSize, config.inputCount, config.outputSize,
                                  config.outputCount};
    };
    host.setBuffers = [this](const SysExBufferNumbers& numbers) {
        return midi_ != nullptr &&
               midi_->setSysExBufferSizes(numbers.inputCount, numbers.inputSize,
                                          numbers.outputCount, numbers.outputSize);
    };
    host.folder = [this] { return rememberedFolder(FileKind::SysEx); };
    host.setFolder = [this](const std::string& folder) {
        setRememberedFolder(FileKind::SysEx, folder);
    };
    // The transfers' warnings go the program's way: a box and standard error.
    host.warn = [](QWidget* parent, const QString& caption, const QString& text) {
        warnUser(parent, caption.isEmpty() ? text : caption + ": " + text);
    };
    sysex_ = std::make_unique<SysExTransfer>(store_, std::move(host));
}

ProgramServices::~ProgramServices() = default;

QWidget* ProgramServices::owner() const {
    return frame_;
}

MonitorLook ProgramServices::monitorLook() const {
    MonitorLook look;
    look.colours = record_.display.colours;
    look.channelColours = record_.display.displayChannelColours;
    look.displayRunning = record_.options.displayEvents;
    look.inputHex = record_.display.monitorInputHex;
    look.outputHex = record_.display.monitorOutputHex;
    look.middleC = record_.options.octave;
    look.showPatchNames = record_.display.displayGMPatches;
    look.abbreviatePortNames = record_.display.displayPortNames;
    look.fontFace = record_.monitorFont.faceName;
    look.fontSize = record_.monitorFont.size;
    look.fontBold = record_.monitorFont.bold;
    look.fontItalic = record_.monitorFont.italic;
    return look;
}

void ProgramServices::monitorLookChanged(const MonitorLook& look) {
    record_.monitorFont = {look.fontFace, look.fontSize, look.fontBold, look.fontItalic};
    record_.display.monitorInputHex = look.inputHex;
    record_.display.monitorOutputHex = look.outputHex;
    showFrameToggles();
}

void ProgramServices::showFrameToggles() {
    if (frame_ == nullptr) {
        return;
    }
    const FrameState saved = frameStateOf(record_);
    FrameState state = frame_->frameState();
    state.displayRunning = saved.displayRunning;
    state.inputHex = saved.inputHex;
    state.outputHex = saved.outputHex;
    state.passSysEx = saved.passSysEx;
    frame_->setFrameState(state);
    frame_->setCommandChecked(cmd::kMidiFilter, filterIsActive(record_.filter));
}

void ProgramServices::showPortNames() {
    if (monitors_ == nullptr || midi_ == nullptr) {
        return;
    }
    std::vector<std::string> inputs;
    for (int slot = 0; slot < midi_->inputCount(); ++slot) {
        inputs.push_back(midi_->input(slot).displayName());
    }
    std::vector<std::string> outputs;
    for (int slot = 0; slot < midi_->outputCount(); ++slot) {
        outputs.push_back(midi_->output(slot).displayName());
    }
    monitors_->setPortNames(inputs, outputs);
}

void ProgramServices::captureLiveState() {
    record_.filter = midi_->filter();
    record_.options.runningStatus = midi_->runStatus();
    storeSelection(midi_->saveSelections(), record_);
    showMapMessages(writeMapSettings(globalMap_, record_.dataMap, instanceNumber_));
}

ProfileSectionHandler ProgramServices::profileMapSection(const std::string& name) {
    ProfileSectionHandler section;
    section.exportTo = [this](cvx::profile::ProfileDocument& document) {
        writeProfileMap(globalMap_, document, kProfileMapSection);
    };
    section.importFrom = [this, name](const cvx::profile::ProfileDocument& document) {
        showMapMessages(readProfileMap(globalMap_, document, kProfileMapSection, name));
    };
    return section;
}

void ProgramServices::showMapMessages(const MapFileResult& result) {
    if (!result.message.empty()) {
        warnUser(owner(), QString::fromStdString(result.message));
    }
    if (!result.problems.empty()) {
        warnUser(owner(), QString::fromStdString(result.problemText()));
    }
}

void ProgramServices::setMonitors(MonitorViews* monitors) {
    monitors_ = monitors;
    if (monitors_ != nullptr) {
        monitors_->setMainLineObserver([this](const MonitorLine& line) { followMainLine(line); });
        applyMonitorLook();
    }
}

void ProgramServices::followMainLine(const MonitorLine& line) {
    status_->follow(line);
    if (log_->isOpen() && monitors_ != nullptr) {
        monitors_->mainLineText(line, logLine_);
        log_->follow(line, logLine_);
    }
}

QWidget* ProgramServices::createStatusView() {
    auto* area = new QScrollArea;
    area->setWidgetResizable(true);
    area->setWidget(status_->createWindow());
    return area;
}

// The frame passes the program change on to the control and instrument panels.
void ProgramServices::patchSeen(const PatchSeen& patch) {
    if (frame_ != nullptr) {
        const auto bankWord = static_cast<intptr_t>(patch.bankFlags << 14 | (patch.bank & 0x3FFF));
        frame_->handleMessage(WM_CVX_PATCH_SEEN, patch.channel, bankWord << 8 | patch.program);
    }
}

void ProgramServices::startLogging() {
    tellUser(log_->open());
    showLogState();
}

void ProgramServices::stopLogging() {
    log_->close();
    showLogState();
}

void ProgramServices::showLogState() {
    if (frame_ != nullptr) {
        frame_->setCommandChecked(cmd::kLog, log_->isOpen());
    }
}

void ProgramServices::tellUser(const std::string& message) {
    if (!message.empty()) {
        warnUser(owner(), QString::fromStdString(message));
    }
}

void ProgramServices::toggleLog() {
    tellUser(log_->toggle());
    showLogState();
}

void ProgramServices::editLog() {
    LogDialog dialog(
        *log_, record_.logFile, [this] { showLogState(); }, owner());
    dialog.exec();
    showLogState();
}

void ProgramServices::setFrame(FrameWindow* frame) {
    frame_ = frame;
    showStatusColours();
}

void ProgramServices::showStatusColours() {
    if (frame_ != nullptr) {
        frame_->setStatusColours(toQColor(record_.display.colours[kStatusBarActiveBackground]),
                                 toQColor(record_.display.colours[kStatusBarActiveText]));
    }
}

void ProgramServices::applyMonitorLook() {
    if (monitors_ != nullptr) {
        monitors_->applyLook(monitorLook());
    }
    QFont font(QString::fromStdString(record_.monitorFont.faceName), record_.monitorFont.size);
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(record_.monitorFont.bold);
    font.setItalic(record_.monitorFont.italic);
    status_->setLook(toQColor(record_.display.colours[kStatusText]),
                     toQColor(record_.display.colours[kStatusBackground]), font);
    showStatusColours();
}

void ProgramServices::sendGlobalMap() {
    midi_->sendMap(globalMap_.record(), 0, static_cast<uint32_t>(record_.sysex.delayAmount));
    if (frame_ != nullptr) {
        frame_->setCommandChecked(cmd::kDataMapping, globalMap_.isOn != 0);
    }
}

bool ProgramServices::loadDataMap(const std::string& path) {
    DataMap map;
    const MapFileResult result = loadMapFile(map, path, MapFileFormat::ByExtension, false, false);
    showMapMessages(result);
    if (!result.ok) {
        return false;
    }
    map.isOn = globalMap_.isOn;
    map.keys = globalMap_.keys;
    globalMap_ = std::move(map);
    sendGlobalMap();
    return true;
}

// ---- Engine and ports ----------------------------------------------------------------------

uint64_t ProgramServices::engineClient() const {
    return midi_ != nullptr ? midi_->client() : 0;
}

void ProgramServices::sendShortMessage(const ShortMessage& message) {
    corvexEvent(engineClient(), message.status, message.channel, message.data1, message.data2, 0);
}

bool ProgramServices::sendSysEx(std::span<const uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > 0xFFFF) {
        return false;
    }
    std::vector<char> copy(bytes.begin(), bytes.end());
    return SendSysEx(engineClient(), copy.data(), static_cast<uint16_t>(copy.size())) ==
           MMSYSERR_NOERROR;
}

cvx::profile::PanicSettings ProgramServices::panicSettings() const {
    return cvx::profile::readPanicSettings(cvx::profile::engineSettingsPath());
}

bool ProgramServices::portsOpen() const {
    return midi_ != nullptr && midi_->portsOpen();
}

int ProgramServices::openOutputCount() const {
    return midi_->openOutputCount();
}

int ProgramServices::openInputCount() const {
    return midi_->openInputCount();
}

bool ProgramServices::setPassSysEx(bool on) {
    bool now = false;
    if (on) {
        now = midi_->switchSysExOn();
    } else {
        midi_->switchSysExOff();
    }
    record_.options.passSysex = now;
    return now;
}

bool ProgramServices::checkDeviceChange() {
    return midi_->checkDeviceChange();
}

void ProgramServices::showListing(Listing listing) {
    switch (listing) {
    case Listing::DeviceInfo:
        midi_->listDeviceInformation();
        break;
    case Listing::RunningStatus:
        midi_->listRunningStatus();
        break;
    case Listing::CurrentMap:
        midi_->listDataMap();
        break;
    }
}

bool ProgramServices::setPcKeyboardActive(bool on) {
    keyboardTools_->setKeyboardActive(on);
    return true;
}

// ---- Settings ------------------------------------------------------------------------------

GeneralOptions ProgramServices::generalOptions() const {
    return generalOptionsOf(record_);
}

void ProgramServices::setGeneralOptions(const GeneralOptions& options) {
    storeGeneralOptions(record_, options);
    midi_->sendRunStatus(options.runningStatus);
    midi_->setVerboseDeviceInfo(options.verboseDeviceInfo);
    applyMonitorLook();
}

FolderSettings ProgramServices::folders() const {
    return foldersOf(record_);
}

void ProgramServices::setFolders(const FolderSettings& folders) {
    storeFolders(record_, folders);
    rememberedFolders_[static_cast<size_t>(FileKind::Map)] = folders.mapFolder;
    rememberedFolders_[static_cast<size_t>(FileKind::SysEx)] = folders.sysexFolder;
    rememberedFolders_[static_cast<size_t>(FileKind::Snapshot)] = folders.snapshotFolder;
}

std::string ProgramServices::rememberedFolder(FileKind kind) const {
    const std::string& remembered = rememberedFolders_[static_cast<size_t>(kind)];
    if (!remembered.empty()) {
        return remembered;
    }
    switch (kind) {
    case FileKind::Map:
        return record_.options.mapFolder;
    case FileKind::SysEx:
        return record_.options.sysexFolder;
    case FileKind::Snapshot:
        return record_.options.snapshotFolder;
    case FileKind::Profile:
    case FileKind::None:
        break;
    }
    return dataFolder();
}

void ProgramServices::setRememberedFolder(FileKind kind, const std::string& folder) {
    rememberedFolders_[static_cast<size_t>(kind)] = folder;
}

void ProgramServices::setMonitoringDisplayed(bool on) {
    record_.options.displayEvents = on;
    if (monitors_ != nullptr) {
        monitors_->setDisplayRunning(on);
    }
}

void ProgramServices::setMonitorHex(ViewKind monitor, bool hex) {
    const bool input = monitor == ViewKind::InputMonitor;
    (input ? record_.display.monitorInputHex : record_.display.monitorOutputHex) = hex;
    if (monitors_ != nullptr) {
        monitors_->setHex(input, hex);
    }
}

// The toolbar's layout belongs to every instance and never goes into a profile.
std::optional<std::vector<uint8_t>> ProgramServices::savedToolBarLayout() const {
    return store_.read().anyBinary(kToolBarKey, kToolBarValue);
}

void ProgramServices::saveToolBarLayout(std::span<const uint8_t> layout) {
    store_.writeBinary(kToolBarKey, kToolBarValue, layout.data(), layout.size());
}

// ---- Files ---------------------------------------------------------------------------------

bool ProgramServices::loadProfile(const std::string& path) {
    ProfileImportSteps steps;
    steps.prepare.push_back([this] {
        midi_->closePorts();
        log_->close(); // reopened below with the profile's log options
    });
    steps.sections.push_back(profileMapSection(path));
    steps.reapply.push_back([this](const SettingsProfile& record, const ImportedProfile& profile) {
        storeImportedPortNames(store_, profile, *midi_);
        DeviceSettings settings = deviceSettingsOf(record, instanceNumber_);
        readCustomPortNames(store_, settings);
        midi_->configure(settings);
        midi_->applyCustomNames();
        midi_->restoreSelections();
        midi_->sendFilter(record.filter);
        midi_->sendRunStatus(record.options.runningStatus);
        sendGlobalMap();
        applyMonitorLook();
        if (midi_->openPorts()) {
            storeSelection(midi_->saveSelections(), record_);
        }
        record_.options.passSysex = midi_->sysexConfig().enabled;
        showFrameToggles();
        showPortNames();
        if (frame_ != nullptr) {
            frame_->setCommandChecked(cmd::kPatchMapping, record.patchMap.enabled);
        }
        startLogging();
    });
    if (!importProfile(path, record_, store_, steps)) {
        warnUser(owner(), QString::fromStdString(profileReadMessage(path)));
        return false;
    }
    if (frame_ != nullptr) {
        frame_->setProfilePath(path);
    }
    return true;
}

bool ProgramServices::saveProfile(const std::string& path) {
    captureLiveState();
    if (!exportProfile(path, record_, {profileMapSection(path)})) {
        warnUser(
            owner(),
            QStringLiteral("Could not write the profile '%1'.").arg(QString::fromStdString(path)));
        return false;
    }
    return true;
}

bool ProgramServices::loadGlobalMap(const std::string& path) {
    return loadDataMap(path);
}

bool ProgramServices::openSysExFile(const std::string& path) {
    warnUser(owner(), fillText(startup_text::kNoSysExView, QString::fromStdString(path)));
    return false;
}

void ProgramServices::sendSysExFile(const std::string& path) {
    sysex_->sendFile(path, owner());
}

bool ProgramServices::loadSnapshot(const std::string& path) {
    if (frame_ != nullptr) {
        frame_->runCommand(cmd::kMidiStatus); // the view shows what was loaded
    }
    const std::string message = status_->loadSnapshot(path);
    tellUser(message);
    return message.empty();
}

std::string ProgramServices::programFolder() const {
    return corvex::programFolder();
}

// ---- Views ---------------------------------------------------------------------------------

QWidget* ProgramServices::createRoutingView(QWidget* parent) {
    if (midi_ == nullptr) {
        return nullptr;
    }
    if (routing_ == nullptr) {
        routing_ = std::make_unique<ProgramRouting>(*midi_, record_);
    }
    return routing_->createView(parent);
}

QWidget* ProgramServices::createPortActivityView(QWidget* parent) {
    if (midi_ == nullptr) {
        return nullptr;
    }
    if (portActivity_ == nullptr) {
        portActivity_ = std::make_unique<ProgramPortActivity>(*midi_);
    }
    return portActivity_->createView(parent);
}

void ProgramServices::sendViewCommand(ViewKind view, int command, intptr_t argument) {
    if (view == ViewKind::MidiStatus) {
        status_->runCommand(command, owner());
        return;
    }
    if (portActivity_ != nullptr && view == ViewKind::PortStatus && command == cmd::kPortsChanged) {
        portActivity_->refreshView();
    }
    if (routing_ != nullptr && view == ViewKind::PortRouting && command == cmd::kPortsChanged) {
        routing_->refreshView();
    }
    if (monitors_ != nullptr && (view == ViewKind::MainMonitor || view == ViewKind::InputMonitor)) {
        monitors_->monitorCommand(view == ViewKind::InputMonitor, command, argument);
    }
}

bool ProgramServices::savedPlacement(ViewKind view, Rect& placement) const {
    const std::optional<WindowGeometry> geometry =
        geometryOf(record_.display.mdiPos[viewIndex(view)]);
    if (!geometry) {
        return false;
    }
    placement = {geometry->x, geometry->y, geometry->width, geometry->height};
    return true;
}

void ProgramServices::viewClosed(ViewKind view, const Rect& placement) {
    record_.display.mdiPos[viewIndex(view)] =
        placementOf({placement.x, placement.y, placement.width, placement.height});
}

intptr_t ProgramServices::passOn(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case WM_CVX_HANDOFF:
        if (handOff_ && lParam != 0) {
            handOff_(*reinterpret_cast<const HandOff*>(lParam));
        }
        return 0;
    case WM_CVX_EVENTS:
    case WM_CVX_MONITORTEXT:
    case WM_CVX_SYSEXDATA:
        return monitors_ != nullptr ? monitors_->mainMessage(message, wParam, lParam) : 0;
    case WM_CVX_PATCH_SEEN:
        instruments_->patchSeen(wParam, lParam);
        keyboardTools_->patchSeen(wParam, lParam);
        return 0;
    default:
        return 0;
    }
}

bool ProgramServices::providesCommand(int id) const {
    return desktop_->provides(id) || id == cmd::kReleaseMidi || id == cmd::kColors ||
           id == cmd::kLuaScript || id == cmd::kMidiFilter || id == cmd::kDataMapping ||
           Transports::isTransportCommand(id) || id == cmd::kGlobalDataMap ||
           id == cmd::kInstrumentPanel || StatusTools::handles(id) || id == cmd::kSendSysExFile ||
           id == cmd::kLog || id == cmd::kToggleLogging ||
           (id == cmd::kConfigureBuffers && deviceMessages_ != nullptr) ||
           ((id == cmd::kMidiDevices || id == cmd::kCustomizePortNames) && midi_ != nullptr) ||
           KeyboardTools::provides(id);
}

bool ProgramServices::runCommand(int id) {
    if (desktop_->provides(id)) {
        return desktop_->run(id, owner());
    }
    if (StatusTools::handles(id)) {
        QWidget* view = status_->window();
        return status_->runCommand(id, view != nullptr ? view : owner());
    }
    switch (id) {
    case cmd::kReleaseMidi:
        switchPorts();
        return true;
    case cmd::kLog:
        editLog();
        return true;
    case cmd::kToggleLogging:
        toggleLog();
        return true;
    case cmd::kColors:
        editColours();
        return true;
    case cmd::kLuaScript:
        lua_->open(engineClient(), owner());
        return true;
    case cmd::kMtcTransport:
    case cmd::kMidiSync:
        transports_->open(id, engineClient(), owner());
        return true;
    case cmd::kMidiFilter:
        editFilter();
        return true;
    case cmd::kSendSysExFile:
        sendSysExFile({});
        return true;
    case cmd::kDataMapping:
        editGlobalMap();
        return true;
    case cmd::kMidiDevices:
        if (midi_ == nullptr) {
            return false;
        }
        editMidiDevices();
        return true;
    case cmd::kCustomizePortNames:
        if (midi_ == nullptr) {
            return false;
        }
        editPortNames();
        return true;
    case cmd::kGlobalDataMap:
        switchGlobalMap();
        return true;
    case cmd::kInstrumentPanel:
        instruments_->setNameTable(midi_ != nullptr ? &midi_->patchNames() : nullptr);
        instruments_->setClosedHandler([this] {
            if (frame_ != nullptr) {
                frame_->toolWindowClosed(cmd::kInstrumentPanel);
            }
        });
        instruments_->open(engineClient(), owner());
        return true;
    case cmd::kConfigureBuffers:
        if (deviceMessages_ == nullptr) {
            return false;
        }
        configureSysExBuffers();
        return true;
    case cmd::kControlPanel:
    case cmd::kNrpnCalculator:
        keyboardTools_->open(id, owner());
        return true;
    default:
        return false;
    }
}

void ProgramServices::editColours() {
    QWidget* parent = owner();
    const ColourScheme defaults =
        parent ? screenDefaultColours(*parent) : defaultColours(ColourDepth::AtLeast16Bits);
    ColourDialog dialog(
        record_.display.colours, defaults,
        BackgroundPicture{record_.display.backgroundBitmap, record_.display.backgroundPath},
        [this](const ColourScheme& colours) {
            record_.display.colours = colours;
            applyMonitorLook();
            transports_->applyColours();
            if (routing_ != nullptr) {
                routing_->restyleView();
            }
        },
        [this](const BackgroundPicture& picture) {
            record_.display.backgroundBitmap = picture.mode;
            record_.display.backgroundPath = picture.customPath;
            if (frame_ != nullptr) {
                frame_->applyBackground(static_cast<BackgroundMode>(picture.mode),
                                        picture.customPath);
            }
        },
        parent);
    dialog.exec(); // OK keeps what the dialog applied, Cancel has put the old look back
}

// Apply and OK: the engine takes the filter at once (messages in flight meet the old or the
// new record), the record keeps it for the next start.
void ProgramServices::editFilter() {
    FilterDialog dialog(
        midi_->filter(),
        [this](const CFilter& filter) {
            midi_->sendFilter(filter);
            record_.filter = filter;
            if (frame_ != nullptr) {
                frame_->setCommandChecked(cmd::kMidiFilter, filterIsActive(filter));
            }
        },
        owner());
    dialog.exec();
}

// OK: a map the engine can hold replaces the running one, which keeps running until then.
void ProgramServices::editGlobalMap() {
    TranslationMapDialog dialog(
        globalMap_,
        [this](const DataMap& map) {
            const std::string problem = mapTooLargeMessage(map);
            if (!problem.empty()) {
                warnUser(owner(), QString::fromStdString(problem));
                return false;
            }
            globalMap_ = map;
            sendGlobalMap();
            return true;
        },
        owner());
    dialog.setFileFolder(QString::fromStdString(rememberedFolder(FileKind::Map)));
    dialog.setAppendMaps(record_.dataMap.appendMaps);
    dialog.exec();
    record_.dataMap.appendMaps = dialog.appendMaps();
    setRememberedFolder(FileKind::Map, dialog.fileFolder().toStdString());
}

// An empty map has nothing to switch on.
void ProgramServices::switchGlobalMap() {
    if (globalMap_.items().empty()) {
        return;
    }
    globalMap_.isOn = globalMap_.isOn != 0 ? 0 : 1;
    sendGlobalMap();
}

void ProgramServices::switchPorts() {
    if (midi_->portsOpen()) {
        midi_->closePorts();
    } else if (!midi_->openPorts()) {
        warnUser(owner(), noDevicesText());
    }
}

// The dialog is modal to the frame but does not block the command: the frame's event loop
// keeps running (and the monitors keep showing MIDI) while it is open.
void ProgramServices::configureSysExBuffers() {
    auto* dialog = new SysExBuffersDialog(midi_->sysexBuffers(), *deviceMessages_, owner());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

// On OK the chosen ports and routing go to the device manager, the ports are reopened with
// them and the selection is stored; the main monitor names what is open now.
void ProgramServices::editMidiDevices() {
    MidiDevicesSetup setup;
    setup.inputNames = portNamesByIndex(midi_->roster(), true);
    setup.outputNames = portNamesByIndex(midi_->roster(), false);
    setup.routing = routingStateOf(midi_->roster(), midi_->selection());
    setup.autoAttach = record_.options.autoAttachInputs;
    setup.mapFolder = record_.options.mapFolder;
    MidiDevicesDialog dialog(std::move(setup), store_, owner());
    const PlacementRect& stored = record_.display.midiDevicesRect;
    if (stored.right > stored.left && stored.bottom > stored.top) {
        dialog.setGeometry(stored.left, stored.top, stored.right - stored.left,
                           stored.bottom - stored.top);
    }
    const int result = dialog.exec();
    const QRect shown = dialog.geometry();
    record_.display.midiDevicesRect = {shown.left(), shown.top(), shown.right() + 1,
                                       shown.bottom() + 1};
    if (result != QDialog::Accepted) {
        return;
    }
    record_.options.autoAttachInputs = dialog.setup().autoAttach;
    if (!dialog.setup().presetName.empty()) {
        store_.writeString(kDevicePresetsKey, "LastNamedPreset", dialog.setup().presetName);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    applyRoutingState(dialog.setup().routing, midi_->roster(), midi_->selection());
    const bool opened = midi_->reopenPorts();
    storeSelection(midi_->saveSelections(), record_);
    QApplication::restoreOverrideCursor();
    appendMonitorText(QString::fromStdString(openPortsLine(*midi_)));
    if (routing_ != nullptr) {
        routing_->refreshView();
    }
    if (!opened) {
        warnUser(owner(), noDevicesText());
    }
}

// On OK the custom names are stored and shown at once; the selection is stored again, as it
// names the ports by the names they are shown with.
void ProgramServices::editPortNames() {
    std::vector<PortNameRow> rows;
    for (int slot = 0; slot < midi_->inputCount(); ++slot) {
        rows.push_back({true, midi_->input(slot).productName(), midi_->input(slot).displayName()});
    }
    for (int slot = 0; slot < midi_->outputCount(); ++slot) {
        rows.push_back(
            {false, midi_->output(slot).productName(), midi_->output(slot).displayName()});
    }
    PortNamesDialog dialog(std::move(rows), owner());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const auto write = [&dialog](SettingsTree& tree) {
        writeCustomPortNames(tree, dialog.rows());
        return true;
    };
    if (!store_.update(write)) {
        warnUser(owner(), QObject::tr("The custom port names could not be saved."));
    }
    SettingsTree names = store_.read();
    write(names); // shown even when they could not be stored
    midi_->setCustomNames(storedCustomNames(names, true), storedCustomNames(names, false));
    storeSelection(midi_->saveSelections(), record_);
    showPortNames();
}

void ProgramServices::closeToolWindow(int id) {
    if (id == cmd::kLuaScript) {
        lua_->close();
    }
    if (Transports::isTransportCommand(id)) {
        transports_->close(id);
    }
    if (id == cmd::kInstrumentPanel) {
        instruments_->close();
    }
    if (KeyboardTools::provides(id)) {
        keyboardTools_->close(id);
    }
}

// ---- Device manager's notices -------------------------------------------------------------

void ProgramServices::appendMonitorText(const QString& line) {
    if (monitors_ != nullptr) {
        monitors_->appendMainText(line.toStdString());
    }
}

// The frame's ports-changed command (33186, code 1): the views that show ports refresh.
void ProgramServices::portsChanged() {
    showPortNames();
    if (frame_ != nullptr) {
        frame_->runCommand(cmd::kPortsChanged, 1);
        frame_->refreshCommands();
    }
}

void ProgramServices::sysexBuffersChanged(const SysExBufferConfig& config) {
    record_.options.bufferCount = config.inputCount;
    record_.options.bufferSize = config.inputSize;
    record_.options.outputBufferCount = config.outputCount;
    record_.options.outputBufferSize = config.outputSize;
}

void ProgramServices::sysexPassingChanged(bool on) {
    record_.options.passSysex = on;
    showFrameToggles();
}

} // namespace corvex
