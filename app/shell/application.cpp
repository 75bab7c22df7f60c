#include "shell/application.h"

#include "command_ids.h"
#include "cvxlib.h"
#include "device_change_signal.h"
#include "device_message_boxes.h"
#include "frame_geometry.h"
#include "frame_settings.h"
#include "frame_title.h"
#include "frame_window.h"
#include "ini/engine_settings.h"
#include "mapping/filter_model.h"
#include "mapping/map_settings.h"
#include "midi.h"
#include "profile_file.h"
#include "settings/folders.h"
#include "settings/settings_store.h"
#include "settings/window_placement.h"
#include "settings_upgrades.h"
#include "shell/exit_dialogs.h"
#include "shell/exit_gate.h"
#include "shell/instance_channel.h"
#include "shell/monitor_views.h"
#include "shell/program_services.h"
#include "shell/startup_texts.h"
#include "shell/termination_watcher.h"
#include "shell/user_warning.h"
#include "shell/window_layout.h"
#include "window_messages.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include <unistd.h>

namespace corvex {
namespace {

// The crash guard "LastOpenFailed" of this instance, written through to the store at once.
class StoreOpenGuard : public OpenGuardStore {
public:
    StoreOpenGuard(SettingsStore& store, int instance)
        : store_(store), key_(joinKeyPath(instanceKey(instance), "MIDI Devices")) {}
    int lastOpenFailed() override {
        return static_cast<int>(store_.readDword(key_, "LastOpenFailed").value_or(0));
    }
    void setLastOpenFailed(int value) override {
        store_.writeDword(key_, "LastOpenFailed", static_cast<uint32_t>(value));
    }

private:
    SettingsStore& store_;
    std::string key_;
};

WindowPlacement placementOfWidget(const QWidget& widget) {
    return placementOf(windowGeometryOf(widget));
}

// Whether the user was already told how to choose ports when none are selected.
constexpr char kPortsHintValue[] = "PortsHintShown";

QString instanceValueName(int slot) {
    return QString::asprintf("hWnd %2.2d", slot);
}

} // namespace

struct Application::Parts {
    SettingsStore store;
    SettingsProfile record = SettingsProfile::defaults();
    std::unique_ptr<ProgramServices> services;
    std::unique_ptr<DeviceMessageBoxes> deviceMessages;
    std::unique_ptr<StoreOpenGuard> openGuard;
    PlatformDeviceQuery deviceQuery;
    std::unique_ptr<CMidi> midi;
    std::unique_ptr<MonitorViews> monitors;
    std::unique_ptr<FrameWindow> frame;
    std::unique_ptr<InstanceServer> instanceServer;
    std::unique_ptr<DeviceChangeSignal> deviceChange;
    std::unique_ptr<ExitGate> exitGate;
    QSocketNotifier* deviceNotifier = nullptr;
    TerminationWatcher* terminationWatcher = nullptr;
    bool settingsSaved = false;
};

Application::Application(CommandLine commandLine, InstanceSlot slot, QString lockFolder,
                         QObject* parent)
    : QObject(parent), commandLine_(std::move(commandLine)), slot_(std::move(slot)),
      lockFolder_(std::move(lockFolder)), parts_(std::make_unique<Parts>()) {}

Application::~Application() {
    finish();
}

uint64_t Application::client() const {
    return parts_->midi ? parts_->midi->client() : 0;
}
CMidi& Application::midi() {
    return *parts_->midi;
}
FrameWindow* Application::frame() const {
    return parts_->frame.get();
}
const SettingsProfile& Application::settings() const {
    return parts_->record;
}

bool Application::start() {
    loadSettings();
    configureDevices();
    if (InitCallBack() == 0) {
        warnUserAndWait(nullptr, QString::fromUtf8(startup_text::kDynamicLink));
        return false;
    }
    callbackStarted_ = true;
    if (!createFrame()) {
        return false;
    }
    writeInstanceTable(static_cast<uint64_t>(::getpid()));
    clearStaleInstanceEntries();
    showFrame();
    if (!createClient()) {
        return false;
    }
    sendStoredState();
    parts_->services->startLogging();
    openPorts();
    restoreLayout();
    if (parts_->record.display.luaWindowOpen) {
        parts_->services->runCommand(cmd::kLuaScript); // it was open when the program ended
    }
    if (!commandLine_.snapshotPath.empty()) {
        parts_->services->loadSnapshot(commandLine_.snapshotPath);
    }
    if (commandLine_.sysexVerb != FileVerb::None && !commandLine_.sysexPath.empty()) {
        takeSysExFile(commandLine_.sysexVerb, commandLine_.sysexPath);
    }
    watchProcessEvents();
    return true;
}

void Application::loadSettings() {
    runStartupUpgrades(parts_->store, instanceNumber(), programFolder());
    parts_->record = SettingsProfile::load(parts_->store, instanceNumber());
    if (const std::string notice = parts_->store.takeDamageNotice(); !notice.empty()) {
        warnUser(nullptr, QString::fromStdString(notice));
    }
    parts_->services =
        std::make_unique<ProgramServices>(parts_->record, parts_->store, instanceNumber());
    parts_->services->setHandOffHandler([this](const HandOff& handOff) { acceptHandOff(handOff); });
    ProgramServices& services = *parts_->services;
    if (const MapFileResult read = readMapSettings(services.globalMap(), parts_->record.dataMap);
        !read.message.empty()) {
        warnUser(nullptr, QString::fromStdString(read.message));
    }
    if (commandLine_.result != 3) {
        return;
    }
    // The profile's values (its global data map too) go over what the store held.
    ProfileImportSteps steps;
    steps.sections.push_back(services.profileMapSection(commandLine_.profilePath));
    if (!importProfile(commandLine_.profilePath, parts_->record, parts_->store, steps)) {
        warnUser(nullptr, QString::fromStdString(profileReadMessage(commandLine_.profilePath)));
    }
}

void Application::configureDevices() {
    ProgramServices& services = *parts_->services;
    parts_->deviceMessages = std::make_unique<DeviceMessageBoxes>(
        QString::fromUtf8(startup_text::kProductCaption),
        DeviceMessageBoxes::Callbacks{
            [&services](const QString& line) { services.appendMonitorText(line); },
            [&services] { services.portsChanged(); },
            [&services](bool on) { services.sysexPassingChanged(on); },
            [&services](const SysExBufferConfig& config) {
                services.sysexBuffersChanged(config);
            }});
    services.setDeviceMessages(parts_->deviceMessages.get());
    parts_->openGuard = std::make_unique<StoreOpenGuard>(parts_->store, instanceNumber());
    parts_->midi =
        std::make_unique<CMidi>(*parts_->deviceMessages, *parts_->openGuard, parts_->deviceQuery);
    parts_->services->setMidi(parts_->midi.get());
    DeviceSettings settings = deviceSettingsOf(parts_->record, instanceNumber());
    readCustomPortNames(parts_->store, settings);
    parts_->midi->configure(settings);
    parts_->midi->enumerateDevices();
    parts_->midi->applyCustomNames();
    parts_->midi->restoreSelections();
}

bool Application::createFrame() {
    parts_->frame = std::make_unique<FrameWindow>(*parts_->services);
    FrameWindow& frame = *parts_->frame;
    parts_->services->setFrame(&frame);
    parts_->deviceMessages->setOwner(&frame);
    FrameState saved = frameStateOf(parts_->record);
    saved.minimizeToTray = saved.minimizeToTray || commandLine_.minimizeToTray; // --mintray
    frame.setFrameState(saved);
    frame.setProfilePath(commandLine_.result == 3 ? commandLine_.profilePath : std::string());
    parts_->exitGate =
        std::make_unique<ExitGate>(scriptExitHooks([this] { return client(); }, &frame));
    frame.setCloseHandler([this] { return parts_->exitGate->mayClose() && saveOnClose(); });
    frame.applyBackground(static_cast<BackgroundMode>(parts_->record.display.backgroundBitmap),
                          parts_->record.display.backgroundPath);
    if (frame.mdiArea() == nullptr) {
        warnUserAndWait(nullptr, QString::fromUtf8(startup_text::kClientWindowFailed));
        return false;
    }
    ProgramServices& services = *parts_->services;
    parts_->monitors = std::make_unique<MonitorViews>(
        services.monitorLook(),
        [&services](const MonitorLook& look) { services.monitorLookChanged(look); });
    parts_->services->setMonitors(parts_->monitors.get());
    // Output shown in the main monitor steps the tray icon (on this thread, after a drain).
    parts_->monitors->setMainActivity([&frame] { frame.animateTray(); });
    frame.setViewFactory(ViewKind::InputMonitor, [this]() -> QWidget* {
        return parts_->monitors->createInputMonitor(client(), parts_->frame.get());
    });
    frame.setViewFactory(ViewKind::MidiStatus,
                         [this]() -> QWidget* { return parts_->services->createStatusView(); });
    frame.setViewFactory(ViewKind::PortRouting, [this]() -> QWidget* {
        return parts_->services->createRoutingView(parts_->frame.get());
    });
    frame.setViewFactory(ViewKind::PortStatus, [this]() -> QWidget* {
        return parts_->services->createPortActivityView(parts_->frame.get());
    });
    return true;
}

void Application::showFrame() {
    FrameWindow& frame = *parts_->frame;
    const WindowPlacement& stored = parts_->record.display.windowPos;
    std::optional<WindowGeometry> saved = geometryOf(stored);
    if (stored == SettingsProfile::defaults().display.windowPos) {
        saved.reset(); // nothing stored yet: a size that suits the screen
    }
    placeFrame(frame, saved, runningCount() == 1); // with other instances the system places it
    if (commandLine_.minimizeToTray ||
        (saved && saved->state == WindowGeometry::State::Minimized)) {
        frame.showMinimizedOrInTray();
    } else if (saved && saved->state == WindowGeometry::State::Maximized) {
        frame.showMaximized();
    } else {
        frame.show();
    }
    frame.addView(ViewKind::MainMonitor, parts_->monitors->mainMonitor());
}

bool Application::createClient() {
    const HWND target = parts_->monitors->mainTarget();
    if (target == nullptr ||
        parts_->midi->createClient(target, nullptr, parts_->record.filter) == 0) {
        warnUserAndWait(parts_->frame.get(), QString::fromUtf8(startup_text::kClientMemory));
        return false;
    }
    parts_->monitors->attachMain(client());
    return true;
}

void Application::sendStoredState() {
    FrameWindow& frame = *parts_->frame;
    if (InitRexxDll() == 0) {
        if (QAction* action = frame.action(cmd::kScriptHost)) {
            action->setVisible(false);
        }
    }
    ProgramServices& services = *parts_->services;
    services.sendGlobalMap();
    if (commandLine_.mapVerb != FileVerb::None && !commandLine_.mapPath.empty()) {
        services.loadDataMap(commandLine_.mapPath);
    }
    frame.setCommandChecked(cmd::kPatchMapping, parts_->record.patchMap.enabled);
    frame.setCommandChecked(cmd::kMidiFilter, filterIsActive(parts_->record.filter));
    parts_->midi->sendRunStatus(parts_->record.options.runningStatus);
}

void Application::openPorts() {
    parts_->services->showPortNames();
    if (cvx::profile::readAutoOpen(cvx::profile::engineSettingsPath()) == 0) {
        return; // the user starts with the ports released; Release MIDI opens them
    }
    const bool nothingSelected =
        parts_->record.devices.inputs.empty() && parts_->record.devices.outputs.empty();
    if (!parts_->midi->openPorts()) {
        // A selection that failed is told every time; having none only once, with the way
        // to choose ports.
        const std::string key = joinKeyPath(instanceKey(instanceNumber()), "MIDI Devices");
        if (!nothingSelected || parts_->store.readDword(key, kPortsHintValue).value_or(0) == 0) {
            warnUser(parts_->frame.get(), noDevicesText());
        }
        if (nothingSelected) {
            parts_->store.writeDword(key, kPortsHintValue, 1);
        }
    }
    parts_->frame->refreshCommands();
}

void Application::restoreLayout() {
    FrameWindow& frame = *parts_->frame;
    for (const ChildKind kind : decodeLayout(parts_->record.display.windowLayout)) {
        const auto view = static_cast<ViewKind>(kind);
        if (view == ViewKind::MainMonitor) {
            if (QMdiSubWindow* window = frame.viewWindow(view)) {
                window->raise();
                frame.mdiArea()->setActiveSubWindow(window);
            }
            continue;
        }
        frame.runCommand(viewCommand(view)); // views of later parts stay closed
    }
}

void Application::watchProcessEvents() {
    parts_->instanceServer = std::make_unique<InstanceServer>([this](const HandOff& handOff) {
        parts_->frame->handleMessage(WM_CVX_HANDOFF, 0, reinterpret_cast<intptr_t>(&handOff));
    });
    if (!parts_->instanceServer->listen(lockFolder_, slot_.slot())) {
        std::fprintf(stderr, "corvex: other starts cannot reach this instance (no socket)\n");
    }
    parts_->terminationWatcher = new TerminationWatcher(this);
    connect(parts_->terminationWatcher, &TerminationWatcher::terminationRequested, this,
            &Application::requestExit);
    parts_->deviceChange = std::make_unique<DeviceChangeSignal>();
    if (parts_->deviceChange->fd() >= 0) {
        parts_->deviceNotifier =
            new QSocketNotifier(parts_->deviceChange->fd(), QSocketNotifier::Read, this);
        connect(parts_->deviceNotifier, &QSocketNotifier::activated, this, [this] {
            if (parts_->deviceChange->take() && parts_->frame) {
                parts_->frame->deviceChanged();
            }
        });
    }
}

void Application::acceptHandOff(const HandOff& handOff) {
    if (handOff.mapVerb != FileVerb::None) {
        parts_->services->loadDataMap(handOff.mapPath);
    }
    if (handOff.sysexVerb != FileVerb::None && !handOff.sysexPath.empty()) {
        takeSysExFile(handOff.sysexVerb, handOff.sysexPath);
    }
    emit handOffReceived(handOff);
}

void Application::takeSysExFile(FileVerb verb, const std::string& path) {
    if (verb == FileVerb::Send) {
        parts_->services->sendSysExFile(path);
    } else {
        parts_->services->openSysExFile(path);
    }
}

void Application::requestExit() {
    if (parts_->frame && parts_->frame->isVisible()) {
        parts_->frame->close(); // its close handler saves and ends the loop
    } else {
        saveOnClose(); // no frame on screen: save and end all the same
    }
}

bool Application::saveOnClose() {
    SettingsProfile& record = parts_->record;
    if (parts_->frame) {
        record.display.windowPos = placementOfWidget(*parts_->frame);
        storeFrameState(record, parts_->frame->frameState());
        recordLayout();
    }
    parts_->services->captureLiveState();
    RexxTerminate();
    record.instanceOptions.routeZoom =
        std::clamp(record.instanceOptions.routeZoom, kMinRouteZoom, kMaxRouteZoom);
    parts_->settingsSaved = record.save(parts_->store, instanceNumber());
    if (!parts_->settingsSaved) {
        std::fprintf(stderr, "corvex: could not write the settings to %s\n",
                     parts_->store.path().c_str());
    }
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    return true;
}

void Application::recordLayout() {
    FrameWindow& frame = *parts_->frame;
    std::vector<ChildKind> bottomFirst;
    for (QMdiSubWindow* window : frame.mdiArea()->subWindowList(QMdiArea::StackingOrder)) {
        for (int k = 0; k < kViewKindCount; ++k) {
            if (frame.viewWindow(static_cast<ViewKind>(k)) == window) {
                bottomFirst.push_back(static_cast<ChildKind>(k));
                parts_->record.display.mdiPos[static_cast<size_t>(k)] = placementOfWidget(*window);
            }
        }
    }
    parts_->record.display.windowLayout = encodeLayout(bottomFirst);
}

void Application::writeInstanceTable(uint64_t value) {
    parts_->store.writeQword("Instance Data", instanceValueName(slot_.slot()).toStdString(), value);
}

void Application::clearStaleInstanceEntries() {
    const std::vector<int> held = heldInstanceSlots(lockFolder_.toStdString());
    for (int slot = 0; slot < kInstanceSlotCount; ++slot) {
        if (std::find(held.begin(), held.end(), slot) != held.end()) {
            continue;
        }
        const std::string name = instanceValueName(slot).toStdString();
        if (parts_->store.readQword("Instance Data", name).value_or(0) != 0) {
            parts_->store.writeQword("Instance Data", name, 0); // left by an instance that died
        }
    }
}

void Application::finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    parts_->instanceServer.reset();
    parts_->deviceChange.reset();
    if (parts_->services) {
        parts_->services->closeToolWindow(cmd::kLuaScript); // unloads while the client lives
        parts_->services->closeToolWindow(cmd::kMidiSync);  // stops the generators
        parts_->services->closeToolWindow(cmd::kMtcTransport);
        parts_->services->setPcKeyboardActive(false); // its notes end while it lives
        parts_->services->setFrame(nullptr);
        parts_->services->setMonitors(nullptr);
        parts_->services->stopLogging(); // the whole log is on disk before the program ends
        parts_->deviceMessages->setOwner(nullptr);
    }
    std::unique_ptr<ExitNotice> notice;
    if (parts_->frame) {
        notice =
            std::make_unique<ExitNotice>(QString::fromStdString(frameTitle(instanceNumber(), {})),
                                         parts_->frame->frameGeometry());
        notice->showNow();
    }
    // The frame takes its views down first, unwatched; it goes before the client the
    // monitors read.
    parts_->frame.reset();
    parts_->monitors.reset();
    if (parts_->midi) {
        parts_->midi->closePorts();
        parts_->midi->destroyClient();
    }
    if (callbackStarted_) {
        FreeCallBack();
    }
    if (parts_->services) {
        writeInstanceTable(0);
    }
    slot_.release();
}

} // namespace corvex
