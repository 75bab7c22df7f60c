#include "frame_window.h"

#include "command_ids.h"
#include "cvx_records.h"
#include "file_errors.h"
#include "frame_command_wiring.h"
#include "frame_effects.h"
#include "frame_menus.h"
#include "frame_prompts.h"
#include "frame_status_bar.h"
#include "frame_text.h"
#include "frame_title.h"
#include "frame_tool_bar.h"
#include "frame_tray_icon.h"
#include "frame_views.h"
#include "help_pages.h"
#include "image_names.h"
#include "reset_messages.h"
#include "string_table.h"
#include "window_messages.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPixmap>
#include <QStatusBar>

namespace corvex {
namespace {

// The mouse messages of WM_CVX_TRAYNOTIFY (in lParam).
constexpr intptr_t kLeftButtonUp = 0x0202;
constexpr intptr_t kRightButtonUp = 0x0205;

// The widget `handle` names when it is one of the application's live widgets, else null:
// a stale or foreign value is never used as a pointer.
QWidget* liveWidget(intptr_t handle) {
    const auto widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets) {
        if (reinterpret_cast<intptr_t>(widget) == handle) {
            return widget;
        }
    }
    return nullptr;
}

} // namespace

FrameWindow::FrameWindow(FrameServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services), prompts_(std::make_unique<FramePrompts>()) {
    setObjectName("CORVEX:Frame");
    setWindowIcon(QIcon(image::kFrameIcon));
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("mdiClient");
    setCentralWidget(mdiArea_);
    statusBar_ = new FrameStatusBar([this](int id) { runCommand(id); }, this);
    setStatusBar(statusBar_); // menu help shows here too
    toolBar_ = new FrameToolBar(
        [this](int id) {
            runCommand(id);
            showToolBarState(); // also when the command refused to run
        },
        this);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    tray_ = std::make_unique<FrameTrayIcon>(
        trayIconFramePaths(services_.programFolder(), services_.instanceNumber(),
                           [](const std::string& path) {
                               return !QPixmap(QString::fromStdString(path)).isNull();
                           }),
        [this] {
            TrayMenuState menu;
            menu.frameHidden = hiddenInTray_ || isMinimized();
            menu.midiReleased = state_.midiReleased;
            const QAction* map = action(cmd::kDataMapping);
            menu.globalMapOn = map != nullptr && map->isChecked();
            menu.globalMapHasEntries =
                provided(cmd::kGlobalDataMap) && services_.globalMapHasEntries();
            menu.instance = services_.instanceNumber();
            return trayMenuItems(menu);
        },
        [this](int id) { runTrayCommand(id); }, nullptr);
    connect(tray_.get(), &FrameTrayIcon::clicked, this, &FrameWindow::showOrHide);
    state_.trayAvailable = FrameTrayIcon::desktopHasTray();
    trayWatch_.setInterval(kTrayWatchMs);
    connect(&trayWatch_, &QTimer::timeout, this, [this] {
        if (!FrameTrayIcon::desktopHasTray()) {
            setTrayAvailable(false); // the tray went away: the frame comes back
        }
    });
    setAcceptDrops(true);

    views_ = std::make_unique<FrameViews>(*mdiArea_, services_);
    connect(views_.get(), &FrameViews::viewsChanged, this, &FrameWindow::viewsChanged);
    connect(views_.get(), &FrameViews::areaContextMenuRequested, this, &FrameWindow::showAreaMenu);
    effects_ = std::make_unique<FrameEffects>(services_);
    connect(effects_.get(), &FrameEffects::panicFinished, this, &FrameWindow::panicFinished);
    connect(effects_.get(), &FrameEffects::profileLoaded, this, &FrameWindow::profileLoaded);
    connect(effects_.get(), &FrameEffects::fileUnreadable, this,
            [this](const std::string& text) { prompts_->fileError(this, qs(text)); });
    menus_ = std::make_unique<FrameMenus>(
        *this, *views_, [this](int id) { runCommand(id); },
        [this](int id) { return provided(id); });
    connect(effects_.get(), &FrameEffects::keyboardLightChanged, this, [this](bool lit) {
        const std::optional<bool> shown = state_.keyboardActive ? std::optional(lit) : std::nullopt;
        menus_->showKeyboardLight(shown);
        toolBar_->showKeyboardLight(shown);
    });

    deviceCheckTimer_.setSingleShot(true);
    deviceCheckTimer_.setInterval(kDeviceCheckDelayMs);
    connect(&deviceCheckTimer_, &QTimer::timeout, this, &FrameWindow::checkDevices);

    FrameCommandWiring(*this).wire(commands_);
    menus_->build();
    restoreToolBarLayout();
    const GeneralOptions options = services_.generalOptions();
    applyBackground(options.background, options.backgroundPath);
    toolBar_->setTooltipsShown(options.showTooltips);
    setProfilePath({});
    refreshCommands();
}

FrameWindow::~FrameWindow() {
    // The views go first, while the frame is whole; their signals are ignored.
    views_->beginTeardown();
    delete mdiArea_;
}

// ---- Commands ----------------------------------------------------------------------------

bool FrameWindow::provided(int id) const {
    if (isViewCommand(id)) {
        for (int k = 0; k < kViewKindCount; ++k) {
            if (viewCommand(static_cast<ViewKind>(k)) == id) {
                return views_->canOpen(static_cast<ViewKind>(k));
            }
        }
    }
    if (id == cmd::kKeyboard) {
        return services_.providesCommand(id);
    }
    return isFrameCommand(id) || services_.providesCommand(id);
}

bool FrameWindow::runCommand(int id, int code) {
    if (!commands_.contains(id) || !provided(id)) {
        return false;
    }
    return commands_.dispatch(id, code);
}

QAction* FrameWindow::action(int id) const {
    return menus_->action(id);
}

void FrameWindow::setCommandChecked(int id, bool checked) {
    menus_->setChecked(id, checked);
    showStatusBarState();
    showToolBarState();
}

void FrameWindow::refreshCommands() {
    state_.midiReleased = !services_.portsOpen();
    menus_->refresh(state_);
    for (int id : {cmd::kMinimizeInTray, cmd::kAlwaysInTray}) {
        if (QAction* item = action(id)) {
            item->setStatusTip(state_.trayAvailable ? qs(loadString(id))
                                                    : QString::fromUtf8(kNoTrayNotice));
        }
    }
    showStatusBarState();
    showToolBarState();
    tray_->setTip(qs(trayTipText(services_.instanceNumber(), services_.openInputCount(),
                                 services_.openOutputCount(), state_.midiReleased)));
}

void FrameWindow::setStatusColours(const QColor& background, const QColor& text) {
    statusBar_->setActiveColours(background, text);
}

// The global data map's and the log's states are the check marks the program sets.
void FrameWindow::showStatusBarState() {
    const auto checked = [this](int id) {
        const QAction* item = action(id);
        return item != nullptr && item->isChecked();
    };
    StatusBarState shown;
    shown.outputs = services_.openOutputCount();
    shown.inputs = services_.openInputCount();
    shown.released = state_.midiReleased;
    shown.cells = {state_.displayRunning, state_.passSysEx, checked(cmd::kDataMapping),
                   state_.keyboardActive, checked(cmd::kLog)};
    statusBar_->showState(shown);
}

void FrameWindow::showToolBarState() {
    toolBar_->showStates([this](int id) { return toolBarButtonState(id); });
}

// A button follows its menu item; the two toggles whose items are not check marks show
// their state in their picture.
ToolBarButtonState FrameWindow::toolBarButtonState(int id) const {
    const QAction* item = action(id);
    ToolBarButtonState state;
    state.enabled = item != nullptr ? item->isEnabled() : provided(id);
    if (id == cmd::kStopDisplay) {
        state.on = state_.displayRunning;
    } else if (id == cmd::kReleaseMidi) {
        state.on = state_.midiReleased;
    } else {
        state.on = item != nullptr && item->isChecked();
    }
    return state;
}

void FrameWindow::restoreToolBarLayout() {
    const std::optional<std::vector<uint8_t>> saved = services_.savedToolBarLayout();
    const std::optional<ToolBarLayout> layout = saved ? decodeToolBarLayout(*saved) : std::nullopt;
    toolBar_->showLayout(layout.value_or(defaultToolBarLayout()));
}

void FrameWindow::customizeToolBar() {
    ToolBarLayout layout = toolBar_->shownLayout();
    if (!prompts_->customizeToolBar(this, layout)) {
        return;
    }
    toolBar_->showLayout(layout);
    saveToolBarLayout();
}

void FrameWindow::saveToolBarLayout() {
    services_.saveToolBarLayout(encodeToolBarLayout(toolBar_->shownLayout()));
}

void FrameWindow::setFrameState(const FrameState& state) {
    const bool trayAvailable = state_.trayAvailable;
    state_ = state;
    state_.trayAvailable = trayAvailable; // the desktop's, not a saved value
    state_.midiStatusOpen = viewWindow(ViewKind::MidiStatus) != nullptr;
    applyOnTop();
    showTrayIcon();
    if (state_.keyboardActive) {
        effects_->startKeyboardLight();
    } else {
        effects_->stopKeyboardLight();
    }
    refreshCommands();
}

void FrameWindow::setProfilePath(const std::string& path) {
    profilePath_ = path;
    setWindowTitle(qs(frameTitle(services_.instanceNumber(), profilePath_)));
}

void FrameWindow::setPrompts(std::unique_ptr<FramePrompts> prompts) {
    prompts_ = std::move(prompts);
}

void FrameWindow::warn(const QString& text) {
    prompts_->warn(this, text);
}

bool FrameWindow::keyboardLightTimerActive() const {
    return effects_->keyboardLightActive();
}

bool FrameWindow::panicRunning() const {
    return effects_->panicRunning();
}

bool FrameWindow::refusingDrop() const {
    return effects_->refusingDrop();
}

// ---- Tray --------------------------------------------------------------------------------

void FrameWindow::setTrayAvailable(bool available) {
    state_.trayAvailable = available;
    if (!available && hiddenInTray_) {
        restoreFromTray(); // the window must never stay out of reach
    }
    showTrayIcon();
    refreshCommands();
}

void FrameWindow::showMinimizedOrInTray() {
    if (hidesIntoTray(state_)) {
        hideIntoTray();
    } else {
        showMinimized();
    }
}

void FrameWindow::animateTray() {
    tray_->activity();
}

void FrameWindow::showTrayIcon() {
    tray_->show(trayIconShown(state_, hiddenInTray_));
}

void FrameWindow::hideIntoTray() {
    hiddenInTray_ = true;
    trayWatch_.start();
    showTrayIcon();
    hide();
}

void FrameWindow::restoreFromTray() {
    hiddenInTray_ = false;
    trayWatch_.stop();
    showNormal();
    raise();
    QMainWindow::activateWindow();
    showTrayIcon();
}

void FrameWindow::showOrHide() {
    if (trayLeftClick(hiddenInTray_ || isMinimized() || !isVisible()) == TrayClick::RestoreFrame) {
        restoreFromTray();
    } else if (state_.trayAvailable) {
        hideIntoTray();
    } else {
        showMinimized();
    }
}

void FrameWindow::toggleMinimizeToTray() {
    state_.minimizeToTray = !state_.minimizeToTray;
    if (hidesIntoTray(state_) && isMinimized()) {
        hideIntoTray();
    }
    refreshCommands();
}

void FrameWindow::toggleAlwaysInTray() {
    state_.alwaysInTray = !state_.alwaysInTray;
    showTrayIcon();
    refreshCommands();
}

void FrameWindow::runTrayCommand(int id) {
    switch (id) {
    case cmd::kShowHide:
        showOrHide();
        return;
    case cmd::kExit:
        if (hiddenInTray_ || isMinimized()) {
            restoreFromTray(); // the exit prompts need a window
        }
        runCommand(cmd::kExit);
        return;
    default:
        runCommand(id);
        return;
    }
}

void FrameWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && hidesIntoTray(state_) &&
        !hiddenInTray_) {
        // Hidden once the window system has finished minimising it.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized() && hidesIntoTray(state_)) {
                hideIntoTray();
            }
        });
    }
}

// ---- Views -------------------------------------------------------------------------------

void FrameWindow::setViewFactory(ViewKind kind, ViewFactory factory) {
    views_->setViewFactory(kind, std::move(factory));
    refreshCommands();
}

QMdiSubWindow* FrameWindow::addView(ViewKind kind, QWidget* view) {
    return views_->addView(kind, view);
}

QMdiSubWindow* FrameWindow::viewWindow(ViewKind kind) const {
    return views_->viewWindow(kind);
}

void FrameWindow::viewsChanged() {
    state_.midiStatusOpen = viewWindow(ViewKind::MidiStatus) != nullptr;
    refreshCommands();
}

void FrameWindow::closeActiveChild() {
    views_->closeActive();
    if (state_.keyboardActive) {
        switchKeyboardOff();
    }
}

void FrameWindow::closeAllChildren() {
    views_->closeAll();
    const std::set<int> open = state_.openToolWindows;
    for (int id : open) {
        services_.closeToolWindow(id);
        toolWindowClosed(id);
    }
}

void FrameWindow::openToolWindow(int id) {
    if (state_.openToolWindows.contains(id)) {
        return;
    }
    // The instrument panel reads its instrument definitions while it opens.
    const bool slow = id == cmd::kInstrumentPanel;
    if (slow) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    const bool opened = services_.runCommand(id);
    if (slow) {
        QApplication::restoreOverrideCursor();
    }
    if (opened) {
        state_.openToolWindows.insert(id);
        refreshCommands();
    }
}

void FrameWindow::toolWindowClosed(int id) {
    if (state_.openToolWindows.erase(id) > 0) {
        refreshCommands();
    }
}

QMenu* FrameWindow::createMonitorPopup(std::optional<ViewKind> monitor, bool marking,
                                       QWidget* parent) {
    return menus_->createMonitorPopup(monitor, marking, state_, parent);
}

void FrameWindow::showAreaMenu(QPoint globalPos) {
    // A right click on the empty client area: the menu without a monitor.
    QMenu* menu = createMonitorPopup(std::nullopt, false, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

// ---- Commands of the frame ---------------------------------------------------------------

void FrameWindow::loadProfile() {
    const QString filter = fileDialogFilter(loadString(str::kProfileFilter));
    const QString file =
        prompts_->openFileName(this, qs(services_.rememberedFolder(FileKind::Profile)), filter);
    if (file.isEmpty()) {
        return;
    }
    services_.setRememberedFolder(FileKind::Profile, QFileInfo(file).absolutePath().toStdString());
    if (const std::string error = fileOpenError(file.toStdString()); !error.empty()) {
        prompts_->fileError(this, qs(error));
        return;
    }
    if (services_.loadProfile(file.toStdString())) {
        profileLoaded(file.toStdString());
    }
}

void FrameWindow::profileLoaded(const std::string& path) {
    setProfilePath(path);
    const GeneralOptions options = services_.generalOptions();
    applyBackground(options.background, options.backgroundPath);
    toolBar_->setTooltipsShown(options.showTooltips);
}

void FrameWindow::saveProfile() {
    const QString filter = fileDialogFilter(loadString(str::kProfileFilter));
    const QString file =
        prompts_->saveFileName(this, qs(services_.rememberedFolder(FileKind::Profile)), filter);
    if (file.isEmpty()) {
        return;
    }
    services_.setRememberedFolder(FileKind::Profile, QFileInfo(file).absolutePath().toStdString());
    services_.saveProfile(file.toStdString());
}

void FrameWindow::sendReset(int id) {
    if (!state_.passSysEx || services_.openOutputCount() == 0) {
        warn(qs(loadString(str::kNoSysExOutput)));
        return;
    }
    services_.sendSysEx(resetMessageFor(id));
}

void FrameWindow::toggleHex(ViewKind monitor) {
    bool& hex = monitor == ViewKind::InputMonitor ? state_.inputHex : state_.outputHex;
    hex = !hex;
    services_.setMonitorHex(monitor, hex);
    if (viewWindow(monitor)) {
        services_.sendViewCommand(monitor, cmd::kViewHexDisplay, hex ? 1 : 0);
    }
    refreshCommands();
}

void FrameWindow::toggleDisplay() {
    state_.displayRunning = !state_.displayRunning;
    services_.setMonitoringDisplayed(state_.displayRunning);
    refreshCommands();
}

void FrameWindow::togglePassSysEx() {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    state_.passSysEx = services_.setPassSysEx(!state_.passSysEx);
    QApplication::restoreOverrideCursor();
    refreshCommands();
}

void FrameWindow::toggleKeyboard() {
    if (state_.keyboardActive) {
        switchKeyboardOff();
        return;
    }
    if (services_.openOutputCount() == 0) {
        warn(qs(loadString(str::kNoOutputPortOpen)));
        return;
    }
    if (!services_.setPcKeyboardActive(true)) {
        warn(qs(loadString(str::kKeyboardHookFailed)));
        return;
    }
    state_.keyboardActive = true;
    effects_->startKeyboardLight();
    refreshCommands();
}

void FrameWindow::switchKeyboardOff() {
    services_.setPcKeyboardActive(false);
    state_.keyboardActive = false;
    effects_->stopKeyboardLight();
    refreshCommands();
}

void FrameWindow::toggleOnTop() {
    state_.onTop = !state_.onTop;
    applyOnTop();
    refreshCommands();
}

void FrameWindow::applyOnTop() {
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == state_.onTop) {
        return;
    }
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, state_.onTop); // hides a shown window
    if (shown) {
        show();
    }
}

void FrameWindow::followPorts() {
    if (keyboardLostItsOutputs(state_, services_.openOutputCount())) {
        switchKeyboardOff();
    }
    refreshCommands();
    emit portsChanged();
}

void FrameWindow::deviceChanged() {
    deviceCheckTimer_.start(); // restarts: several changes within 350 ms give one check
}

void FrameWindow::checkDevices() {
    if (!services_.checkDeviceChange()) {
        return;
    }
    for (ViewKind kind : {ViewKind::PortStatus, ViewKind::PortRouting}) {
        if (viewWindow(kind)) {
            services_.sendViewCommand(kind, cmd::kPortsChanged, 1);
        }
    }
    followPorts();
}

void FrameWindow::editGeneralOptions() {
    GeneralOptions options = services_.generalOptions();
    if (!prompts_->editGeneralOptions(this, options)) {
        return;
    }
    services_.setGeneralOptions(options);
    applyBackground(options.background, options.backgroundPath);
    toolBar_->setTooltipsShown(options.showTooltips);
}

void FrameWindow::editFolders() {
    FolderSettings folders = services_.folders();
    if (prompts_->editFolders(this, folders)) {
        services_.setFolders(folders);
    }
}

void FrameWindow::applyBackground(BackgroundMode mode, const std::string& path) {
    backgroundMode_ = views_->applyBackground(mode, path);
}

void FrameWindow::openHelpPage(std::string_view page) {
    const std::string path = findHelpPage(services_.programFolder(), page);
    if (path.empty()) {
        warn(qs(formatString(loadString(str::kHelpPageMissing), {page})));
        return;
    }
    if (!prompts_->openUrl(QUrl::fromLocalFile(QString::fromStdString(path)))) {
        warn(qs(formatString(loadString(str::kBrowserFailed), {path})));
    }
}

void FrameWindow::openHelpTopic(int topic) {
    openHelpPage(helpPageForTopic(topic));
}

void FrameWindow::openReadMe() {
    const std::string path = findReadMe(services_.programFolder());
    if (path.empty() || !prompts_->openUrl(QUrl::fromLocalFile(QString::fromStdString(path)))) {
        const std::string shown = path.empty() ? services_.programFolder() + "/README.md" : path;
        warn(qs(formatString(loadString(str::kFileNotFound), {shown})));
    }
}

// ---- Messages and events -----------------------------------------------------------------

intptr_t FrameWindow::handleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case WM_COMMAND:
        runCommand(static_cast<int>(wParam & 0xFFFF), static_cast<int>((wParam >> 16) & 0xFFFF));
        return 0;
    case WM_CLOSE:
        close();
        return 0;
    case WM_CVX_CHILDCLOSED:
        if (!isToolWindowCommand(static_cast<int>(lParam))) {
            return 0; // not one of the tool windows
        }
        if (wParam == kChildClosedDestroy) {
            services_.closeToolWindow(static_cast<int>(lParam));
        }
        toolWindowClosed(static_cast<int>(lParam));
        return 0;
    case WM_CVX_PING:
        return 1;
    case WM_CVX_GETCLIENT:
        return static_cast<intptr_t>(services_.engineClient());
    case WM_CVX_SETDIALOG:
        currentDialog_ = liveWidget(lParam);
        return 0;
    case WM_CVX_HANDOFF: {
        const intptr_t reply = services_.passOn(message, wParam, lParam);
        if (isMinimized()) {
            showNormal();
        }
        raise();
        QMainWindow::activateWindow();
        return reply;
    }
    case WM_CVX_TRAYANIMATE:
        animateTray();
        return 0;
    case WM_CVX_TRAYNOTIFY:
        if (lParam == kLeftButtonUp) {
            showOrHide();
        } else if (lParam == kRightButtonUp) {
            tray_->popupMenu(QCursor::pos());
        }
        return 0;
    case WM_CVX_EVENTS:
    case WM_CVX_MONITORTEXT:
    case WM_CVX_SYSEXDATA:
    case WM_CVX_SCRIPTINPUT:
    case WM_CVX_PATCH_SEEN:
        return services_.passOn(message, wParam, lParam);
    default:
        return 0;
    }
}

void FrameWindow::closeEvent(QCloseEvent* event) {
    if (closeHandler_ && !closeHandler_()) {
        event->ignore();
        return;
    }
    effects_->stop();
    deviceCheckTimer_.stop();
    trayWatch_.stop();
    saveToolBarLayout();
    tray_->show(false);
    event->accept();
}

void FrameWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void FrameWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        paths.push_back(url.isLocalFile() ? url.toLocalFile().toStdString() : std::string{});
    }
    event->acceptProposedAction();
    dropFiles(paths);
}

void FrameWindow::dropFiles(const std::vector<std::string>& paths) {
    effects_->dropFiles(paths);
}

} // namespace corvex
