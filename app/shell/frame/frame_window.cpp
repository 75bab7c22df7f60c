#include "frame_window.h"

#include "accelerators.h"
#include "command_ids.h"
#include "cvx_records.h"
#include "dropped_files.h"
#include "frame_messages.h"
#include "frame_prompts.h"
#include "frame_title.h"
#include "help_pages.h"
#include "image_names.h"
#include "mdi_layout.h"
#include "menu_resource.h"
#include "reset_messages.h"
#include "string_table.h"

#include "profile/engine_settings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QStatusBar>

#include <utility>

namespace corvex {
namespace {

constexpr int kDeviceCheckDelayMs = 350;
constexpr int kKeyboardFlashMs = 500;
constexpr int kRefusalOnMs = 200;
constexpr int kRefusalOffMs = 100;
constexpr int kRefusalFlashes = 3;
constexpr int kInputMonitorInset = 22;

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Menu text without the accelerator shown after the tab; the shortcut shows it instead.
QString menuText(std::string_view text) {
    return qs(text.substr(0, text.find('\t')));
}

int viewTitle(ViewKind kind) {
    switch (kind) {
    case ViewKind::MainMonitor:
        return str::kMainMonitorTitle;
    case ViewKind::InputMonitor:
        return str::kInputMonitorTitle;
    case ViewKind::MidiStatus:
        return str::kMidiStatusTitle;
    case ViewKind::PortStatus:
        return str::kPortActivityTitle;
    case ViewKind::PortRouting:
        return str::kPortRoutingTitle;
    }
    return 0;
}

const char* viewIcon(ViewKind kind) {
    switch (kind) {
    case ViewKind::MainMonitor:
    case ViewKind::InputMonitor:
        return image::kMonitorIcon;
    case ViewKind::MidiStatus:
        return image::kMidiStatusIcon;
    case ViewKind::PortStatus:
        return image::kPortStatusIcon;
    case ViewKind::PortRouting:
        return image::kRoutingIcon;
    }
    return image::kFrameIcon;
}

std::size_t slot(ViewKind kind) {
    return static_cast<std::size_t>(kind);
}

QRect toQRect(const Rect& r) {
    return {r.x, r.y, r.width, r.height};
}

Rect toRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

// Commands the frame runs itself; every other command goes to the program.
constexpr int kFrameCommands[] = {
    cmd::kAbout,
    cmd::kExit,
    cmd::kLoadProfile,
    cmd::kSaveProfile,
    cmd::kPanicReset,
    cmd::kGeneralOptions,
    cmd::kFolders,
    cmd::kGmOn,
    cmd::kGsOn,
    cmd::kXgOn,
    cmd::kHelpContents,
    cmd::kHelpSearch,
    cmd::kHelpOnHelp,
    cmd::kContextHelp,
    cmd::kWebSite,
    cmd::kReadMe,
    cmd::kCascade,
    cmd::kTileHorizontally,
    cmd::kTileVertically,
    cmd::kArrangeIcons,
    cmd::kCloseAll,
    cmd::kClose,
    cmd::kMonitorInputHex,
    cmd::kMonitorOutputHex,
    cmd::kStopDisplay,
    cmd::kClearMonitor,
    cmd::kClearInput,
    cmd::kClearMainMonitor,
    cmd::kMarkForClipboard,
    cmd::kCopyToClipboard,
    cmd::kMarkWindow,
    cmd::kCopyAll,
    cmd::kMonitorFont,
    cmd::kDeviceInfo,
    cmd::kRunningStatus,
    cmd::kCurrentMap,
    cmd::kPassSysEx,
    cmd::kPortsChanged,
    cmd::kPatchMapHandled,
    cmd::kMainMonitor,
    cmd::kKeyboard,
    cmd::kMidiStatus,
    cmd::kInputMonitor,
    cmd::kPortStatus,
    cmd::kPortRoutings,
};

bool isFrameCommand(int id) {
    return std::find(std::begin(kFrameCommands), std::end(kFrameCommands), id) !=
           std::end(kFrameCommands);
}

// Check marks the frame keeps; the program sets the others with setCommandChecked.
bool isFrameCheckMark(int id) {
    return id == cmd::kMonitorInputHex || id == cmd::kMonitorOutputHex || id == cmd::kPassSysEx ||
           id == cmd::kKeyboard;
}

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

bool isCheckable(int id) {
    return isFrameCheckMark(id) || id == cmd::kLog || id == cmd::kPatchMapping ||
           id == cmd::kMidiFilter || id == cmd::kDataMapping;
}

} // namespace

FrameWindow::FrameWindow(FrameServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services), prompts_(std::make_unique<FramePrompts>()) {
    setObjectName("CORVEX:Frame");
    setWindowIcon(QIcon(image::kFrameIcon));
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("mdiClient");
    mdiArea_->viewport()->installEventFilter(this);
    setCentralWidget(mdiArea_);
    statusBar(); // menu help shows here
    setAcceptDrops(true);

    deviceTimer_.setSingleShot(true);
    deviceTimer_.setInterval(kDeviceCheckDelayMs);
    connect(&deviceTimer_, &QTimer::timeout, this, &FrameWindow::checkDevices);
    keyboardTimer_.setInterval(kKeyboardFlashMs);
    connect(&keyboardTimer_, &QTimer::timeout, this, &FrameWindow::flashKeyboardLight);
    panicTimer_.setSingleShot(true);
    panicTimer_.setTimerType(Qt::PreciseTimer);
    connect(&panicTimer_, &QTimer::timeout, this, &FrameWindow::panicTick);
    dropRefusalTimer_.setSingleShot(true);
    connect(&dropRefusalTimer_, &QTimer::timeout, this, &FrameWindow::refuseDrop);

    buildCommandTable();
    buildMenus();
    const GeneralOptions options = services_.generalOptions();
    applyBackground(options.background, options.backgroundPath);
    setProfilePath({});
    refreshCommands();
}

FrameWindow::~FrameWindow() {
    if (panicRun_) {
        QApplication::restoreOverrideCursor();
    }
    if (dropRefusalSteps_ % 2 == 1) {
        QApplication::restoreOverrideCursor();
    }
    // The views go first, while the frame is whole; their destroyed signals are ignored.
    destroying_ = true;
    mdiArea_->viewport()->removeEventFilter(this);
    delete mdiArea_;
}

// ---- Menus and the command table ---------------------------------------------------------

void FrameWindow::buildMenus() {
    const auto popups = mainMenu();
    for (std::size_t i = 0; i < popups.size(); ++i) {
        QMenu* menu = menuBar()->addMenu(qs(popups[i].text));
        addMenuItems(menu, popups[i].items);
        if (static_cast<int>(i) == kWindowMenuIndex) {
            // The list of child windows follows the fixed items, ids from 5000 on.
            connect(menu, &QMenu::aboutToShow, this, [this, menu] {
                for (QAction* old : menu->actions()) {
                    if (old->property("windowList").toBool()) {
                        menu->removeAction(old);
                        old->deleteLater();
                    }
                }
                const auto windows = mdiArea_->subWindowList();
                if (windows.isEmpty()) {
                    return;
                }
                menu->addSeparator()->setProperty("windowList", true);
                int number = 0;
                for (QMdiSubWindow* window : windows) {
                    QAction* entry = menu->addAction(
                        QStringLiteral("&%1 %2").arg(number + 1).arg(window->windowTitle()));
                    entry->setProperty("windowList", true);
                    entry->setData(cmd::kFirstMdiChild + number++);
                    entry->setCheckable(true);
                    entry->setChecked(window == mdiArea_->activeSubWindow());
                    connect(entry, &QAction::triggered, this,
                            [this, window = QPointer<QMdiSubWindow>(window)] {
                                if (window) {
                                    activateWindow(window);
                                }
                            });
                }
            });
        }
    }
    for (const Accelerator& accelerator : kFrameAccelerators) {
        QAction* target = action(accelerator.command);
        if (!target) {
            target = new QAction(this);
            target->setData(accelerator.command);
            target->setStatusTip(qs(loadString(accelerator.command)));
            connect(target, &QAction::triggered, this,
                    [this, id = accelerator.command] { runCommand(id); });
            actions_.insert(accelerator.command, target);
            addAction(target);
        }
        target->setShortcut(QKeySequence(qs(accelerator.keys)));
        target->setShortcutContext(Qt::WindowShortcut);
    }
}

void FrameWindow::addMenuItems(QMenu* menu, std::span<const MenuItem> items) {
    for (const MenuItem& entry : items) {
        switch (entry.kind) {
        case MenuItem::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuItem::Kind::Popup:
            addMenuItems(menu->addMenu(qs(entry.text)), entry.items);
            break;
        case MenuItem::Kind::Command: {
            QAction* item = menu->addAction(menuText(entry.text));
            item->setData(entry.id);
            item->setObjectName(QStringLiteral("command%1").arg(entry.id));
            item->setStatusTip(qs(loadString(entry.id)));
            item->setToolTip(qs(loadString(entry.id)));
            item->setCheckable(isCheckable(entry.id));
            connect(item, &QAction::triggered, this, [this, id = entry.id] { runCommand(id); });
            actions_.insert(entry.id, item);
            break;
        }
        }
    }
}

void FrameWindow::buildCommandTable() {
    addProgramCommands();
    addFrameCommands();
}

void FrameWindow::addProgramCommands() {
    // Every command of the menus and of the other windows that the frame does not run itself
    // is the program's: tool windows, dialogs and views of other parts.
    auto addAll = [this](auto&& self, std::span<const MenuItem> items) -> void {
        for (const MenuItem& entry : items) {
            if (entry.kind == MenuItem::Kind::Popup) {
                self(self, entry.items);
            } else if (entry.kind == MenuItem::Kind::Command && !isFrameCommand(entry.id)) {
                const int id = entry.id;
                commands_.add(id, [this, id](int) {
                    if (isToolWindowCommand(id)) {
                        openToolWindow(id);
                    } else if (services_.runCommand(id) &&
                               (id == cmd::kMidiDevices || id == cmd::kReleaseMidi)) {
                        // Ports were re-opened or released: the keyboard needs an output.
                        if (state_.keyboardActive && services_.openOutputCount() == 0) {
                            switchKeyboardOff();
                        }
                        emit portsChanged();
                    }
                });
            }
        }
    };
    addAll(addAll, mainMenu());
    for (int id : {cmd::kToggleLogging, cmd::kGlobalDataMap, cmd::kReleaseMidi, cmd::kAlwaysOnTop,
                   cmd::kMinimizeInTray, cmd::kAlwaysInTray, cmd::kShowHide}) {
        commands_.add(id, [this, id](int) {
            if (services_.runCommand(id) && id == cmd::kReleaseMidi) {
                if (state_.keyboardActive && services_.openOutputCount() == 0) {
                    switchKeyboardOff();
                }
                emit portsChanged();
            }
        });
    }
}

void FrameWindow::addFrameCommands() {
    auto add = [this](int id, std::function<void()> run) {
        commands_.add(id, [run = std::move(run)](int) { run(); });
    };
    add(cmd::kAbout, [this] { prompts_->showAbout(this); });
    add(cmd::kExit, [this] { close(); });
    add(cmd::kLoadProfile, [this] { loadProfile(); });
    add(cmd::kSaveProfile, [this] { saveProfile(); });
    add(cmd::kPanicReset, [this] { startPanic(); });
    add(cmd::kGeneralOptions, [this] { editGeneralOptions(); });
    add(cmd::kFolders, [this] { editFolders(); });
    for (int id : {cmd::kGmOn, cmd::kGsOn, cmd::kXgOn}) {
        add(id, [this, id] { sendReset(id); });
    }
    add(cmd::kHelpContents, [this] { openHelpPage(kHelpContentsPage); });
    add(cmd::kHelpSearch, [this] { openHelpPage(kHelpSearchPage); });
    add(cmd::kHelpOnHelp, [this] { openHelpPage(kHelpOnHelpPage); });
    add(cmd::kContextHelp, [this] { openHelpTopic(contextHelpTopic_); });
    add(cmd::kWebSite, [this] { openWebSite(); });
    add(cmd::kReadMe, [this] { openReadMe(); });
    add(cmd::kCascade, [this] { mdiArea_->cascadeSubWindows(); });
    add(cmd::kTileHorizontally, [this] { tile(true); });
    add(cmd::kTileVertically, [this] { tile(false); });
    add(cmd::kArrangeIcons, [this] { arrangeIcons(); });
    add(cmd::kCloseAll, [this] { closeAllChildren(); });
    add(cmd::kClose, [this] { closeActiveChild(); });
    add(cmd::kMonitorInputHex, [this] { toggleHex(ViewKind::InputMonitor); });
    add(cmd::kMonitorOutputHex, [this] { toggleHex(ViewKind::MainMonitor); });
    add(cmd::kStopDisplay, [this] { toggleDisplay(); });
    add(cmd::kClearMonitor,
        [this] { services_.sendViewCommand(activeMonitor(), cmd::kClearMonitor, 0); });
    add(cmd::kClearInput, [this] {
        if (viewWindow(ViewKind::InputMonitor)) {
            services_.sendViewCommand(ViewKind::InputMonitor, cmd::kClearMonitor, 0);
        }
    });
    add(cmd::kClearMainMonitor,
        [this] { services_.sendViewCommand(ViewKind::MainMonitor, cmd::kClearMonitor, 0); });
    for (int id :
         {cmd::kMarkForClipboard, cmd::kCopyToClipboard, cmd::kMarkWindow, cmd::kCopyAll}) {
        add(id, [this, id] {
            QMdiSubWindow* active = mdiArea_->activeSubWindow();
            for (ViewKind monitor : {ViewKind::InputMonitor, ViewKind::MainMonitor}) {
                if (active && active == viewWindow(monitor)) {
                    services_.sendViewCommand(monitor, id, 0);
                    return;
                }
            }
        });
    }
    add(cmd::kMonitorFont, [this] {
        services_.sendViewCommand(ViewKind::MainMonitor, cmd::kMonitorFont, 0);
        if (viewWindow(ViewKind::InputMonitor)) {
            services_.sendViewCommand(ViewKind::InputMonitor, cmd::kInputMonitorFont, 0);
        }
    });
    add(cmd::kDeviceInfo, [this] { services_.showListing(Listing::DeviceInfo); });
    add(cmd::kRunningStatus, [this] { services_.showListing(Listing::RunningStatus); });
    add(cmd::kCurrentMap, [this] { services_.showListing(Listing::CurrentMap); });
    add(cmd::kPassSysEx, [this] { togglePassSysEx(); });
    add(cmd::kMainMonitor, [this] {
        if (QMdiSubWindow* main = viewWindow(ViewKind::MainMonitor)) {
            activateWindow(main);
        }
    });
    add(cmd::kKeyboard, [this] { toggleKeyboard(); });
    for (ViewKind kind : {ViewKind::InputMonitor, ViewKind::MidiStatus, ViewKind::PortStatus,
                          ViewKind::PortRouting}) {
        add(viewCommand(kind), [this, kind] { openView(kind); });
    }
    commands_.add(cmd::kPortsChanged, [this](int code) {
        if (code != 1) {
            return;
        }
        if (viewWindow(ViewKind::MidiStatus)) {
            services_.sendViewCommand(ViewKind::MidiStatus, cmd::kClearStatus, 0);
        }
        for (ViewKind kind : {ViewKind::PortStatus, ViewKind::PortRouting}) {
            if (viewWindow(kind)) {
                services_.sendViewCommand(kind, cmd::kPortsChanged, 1);
            }
        }
        emit portsChanged();
    });
    commands_.add(cmd::kPatchMapHandled, [this](int code) {
        if (code == 1 && viewWindow(ViewKind::PortRouting)) {
            services_.sendViewCommand(ViewKind::PortRouting, cmd::kPatchMapHandled, 1);
        }
    });
}

bool FrameWindow::provided(int id) const {
    if (isViewCommand(id)) {
        for (int k = 0; k < kViewKindCount; ++k) {
            if (viewCommand(static_cast<ViewKind>(k)) == id) {
                return viewFactories_[static_cast<std::size_t>(k)] != nullptr ||
                       viewWindow(static_cast<ViewKind>(k)) != nullptr;
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
    return actions_.value(id, nullptr);
}

void FrameWindow::setCommandChecked(int id, bool checked) {
    if (QAction* item = action(id)) {
        item->setCheckable(true);
        item->setChecked(checked);
    }
}

void FrameWindow::refreshCommands() {
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        const int id = it.key();
        QAction* item = it.value();
        item->setEnabled(commandEnabled(id, state_, provided(id)));
        if (isFrameCheckMark(id)) {
            item->setChecked(commandChecked(id, state_));
        }
        if (const std::string_view text = commandText(id, state_); !text.empty()) {
            item->setText(qs(text));
        }
    }
}

void FrameWindow::setFrameState(const FrameState& state) {
    const bool keyboardWas = state_.keyboardActive;
    state_ = state;
    state_.midiStatusOpen = viewWindow(ViewKind::MidiStatus) != nullptr;
    if (state_.keyboardActive && !keyboardWas) {
        keyboardTimer_.start();
    } else if (!state_.keyboardActive) {
        keyboardTimer_.stop();
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

// ---- Views -------------------------------------------------------------------------------

void FrameWindow::setViewFactory(ViewKind kind, ViewFactory factory) {
    viewFactories_[slot(kind)] = std::move(factory);
    refreshCommands();
}

QMdiSubWindow* FrameWindow::addView(ViewKind kind, QWidget* view) {
    if (QMdiSubWindow* existing = viewWindow(kind)) {
        activateWindow(existing);
        return existing;
    }
    QMdiSubWindow* window = mdiArea_->addSubWindow(view);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(qs(loadString(viewTitle(kind))));
    window->setWindowIcon(QIcon(viewIcon(kind)));
    window->setProperty("viewKind", static_cast<int>(kind));
    window->installEventFilter(this);
    views_[slot(kind)] = window;
    connect(window, &QObject::destroyed, this, [this, window] { forgetView(window); });

    Rect placement;
    if (services_.savedPlacement(kind, placement)) {
        window->setGeometry(toQRect(placement));
    } else if (mdiArea_->viewport()->rect().isEmpty()) {
        unplacedViews_.insert(static_cast<int>(kind)); // placed once the area has a size
    } else {
        placeByDefault(kind, window);
    }
    window->show();
    mdiArea_->setActiveSubWindow(window);
    if (kind == ViewKind::MidiStatus) {
        state_.midiStatusOpen = true;
    }
    refreshCommands();
    return window;
}

void FrameWindow::placeByDefault(ViewKind kind, QMdiSubWindow* window) {
    const QRect area = mdiArea_->viewport()->rect();
    if (kind == ViewKind::InputMonitor) {
        window->setGeometry(kInputMonitorInset, kInputMonitorInset,
                            std::max(1, area.width() - kInputMonitorInset),
                            std::max(1, area.height() - kInputMonitorInset));
    } else if (kind == ViewKind::PortRouting || kind == ViewKind::MainMonitor) {
        window->setGeometry(area);
    }
}

QMdiSubWindow* FrameWindow::viewWindow(ViewKind kind) const {
    // A closed view leaves the area at once but is deleted later: it counts as gone.
    QMdiSubWindow* window = views_[slot(kind)];
    return window && mdiArea_->subWindowList().contains(window) ? window : nullptr;
}

void FrameWindow::openView(ViewKind kind) {
    if (QMdiSubWindow* existing = viewWindow(kind)) {
        activateWindow(existing);
        return;
    }
    const ViewFactory& factory = viewFactories_[slot(kind)];
    QWidget* view = factory ? factory() : nullptr;
    if (view) { // a view that could not be made fails silently; the item stays enabled
        addView(kind, view);
    }
}

void FrameWindow::forgetView(QMdiSubWindow* window) {
    if (destroying_) {
        return;
    }
    // `window` is being destroyed: compared as a pointer only, never used.
    for (QMdiSubWindow*& view : views_) {
        if (view == window) {
            view = nullptr;
        }
    }
    state_.midiStatusOpen = viewWindow(ViewKind::MidiStatus) != nullptr;
    refreshCommands();
}

void FrameWindow::activateWindow(QMdiSubWindow* window) {
    if (window->isMinimized()) {
        window->showNormal();
    }
    mdiArea_->setActiveSubWindow(window);
}

ViewKind FrameWindow::activeMonitor() const {
    QMdiSubWindow* active = mdiArea_->activeSubWindow();
    return active && active == viewWindow(ViewKind::InputMonitor) ? ViewKind::InputMonitor
                                                                  : ViewKind::MainMonitor;
}

void FrameWindow::closeActiveChild() {
    QMdiSubWindow* active = mdiArea_->activeSubWindow();
    if (active) {
        active->close(); // the view may refuse in its close event
    }
    if (state_.keyboardActive) {
        switchKeyboardOff();
    }
}

void FrameWindow::closeAllChildren() {
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (window == viewWindow(ViewKind::MainMonitor)) {
            continue; // the main monitor lives as long as the frame
        }
        if (window->isMinimized()) {
            window->showNormal();
        }
        window->close();
    }
    const std::set<int> open = state_.openToolWindows;
    for (int id : open) {
        services_.closeToolWindow(id);
        toolWindowClosed(id);
    }
}

void FrameWindow::tile(bool stacked) {
    std::vector<QMdiSubWindow*> windows;
    bool anyMinimized = false;
    const auto list = mdiArea_->subWindowList(QMdiArea::StackingOrder);
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if ((*it)->isMinimized()) {
            anyMinimized = true;
        } else if ((*it)->isVisible()) {
            windows.push_back(*it);
        }
    }
    Rect area = toRect(mdiArea_->viewport()->rect());
    if (anyMinimized) {
        area.height = std::max(1, area.height - QMdiSubWindow().minimumSizeHint().height());
    }
    const auto rects = tileRects(static_cast<int>(windows.size()), area,
                                 stacked ? TileDirection::Horizontal : TileDirection::Vertical);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (windows[i]->isMaximized()) {
            windows[i]->showNormal();
        }
        windows[i]->setGeometry(toQRect(rects[i]));
    }
}

void FrameWindow::arrangeIcons() {
    std::vector<QMdiSubWindow*> minimized;
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (window->isMinimized()) {
            minimized.push_back(window);
        }
    }
    if (minimized.empty()) {
        return;
    }
    const QSize icon = minimized.front()->size();
    const auto rects = iconRects(static_cast<int>(minimized.size()),
                                 toRect(mdiArea_->viewport()->rect()), icon.width(), icon.height());
    for (std::size_t i = 0; i < minimized.size(); ++i) {
        minimized[i]->move(rects[i].x, rects[i].y);
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

// ---- Commands of the frame ---------------------------------------------------------------

void FrameWindow::loadProfile() {
    const QString filter = fileDialogFilter(loadString(str::kProfileFilter));
    const QString file =
        prompts_->openFileName(this, qs(services_.rememberedFolder(FileKind::Profile)), filter);
    if (file.isEmpty()) {
        return;
    }
    services_.setRememberedFolder(FileKind::Profile, QFileInfo(file).absolutePath().toStdString());
    if (services_.loadProfile(file.toStdString())) {
        setProfilePath(file.toStdString());
        const GeneralOptions options = services_.generalOptions();
        applyBackground(options.background, options.backgroundPath);
    }
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

void FrameWindow::startPanic() {
    if (services_.engineClient() == 0 || panicRun_) {
        return;
    }
    const auto settings = cvx::profile::readPanicSettings(cvx::profile::engineSettingsPath());
    panicRun_.emplace(buildPanicSequence(settings, services_.generalOptions().panicNoteOffs),
                      panicDelayMs(settings));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    panicClock_.start();
    panicTick();
}

void FrameWindow::panicTick() {
    if (!panicRun_) {
        return;
    }
    const auto now = static_cast<uint64_t>(panicClock_.elapsed());
    const int wait = panicRun_->sendDue(
        now, [this](const ShortMessage& message) { services_.sendShortMessage(message); });
    if (!panicRun_->finished()) {
        panicTimer_.start(std::max(1, wait));
        return;
    }
    panicRun_.reset();
    QApplication::restoreOverrideCursor();
    emit panicFinished();
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
    keyboardTimer_.start();
    refreshCommands();
}

void FrameWindow::switchKeyboardOff() {
    services_.setPcKeyboardActive(false);
    state_.keyboardActive = false;
    keyboardTimer_.stop();
    keyboardLightOn_ = false;
    if (QAction* item = action(cmd::kKeyboard)) {
        item->setIcon(QIcon());
    }
    refreshCommands();
}

void FrameWindow::flashKeyboardLight() {
    keyboardLightOn_ = !keyboardLightOn_;
    if (QAction* item = action(cmd::kKeyboard)) {
        item->setIcon(QIcon(keyboardLightOn_ ? image::kKeyboardLit : image::kKeyboard));
    }
}

void FrameWindow::editGeneralOptions() {
    GeneralOptions options = services_.generalOptions();
    if (!prompts_->editGeneralOptions(this, options)) {
        return;
    }
    services_.setGeneralOptions(options);
    applyBackground(options.background, options.backgroundPath);
}

void FrameWindow::editFolders() {
    FolderSettings folders = services_.folders();
    if (prompts_->editFolders(this, folders)) {
        services_.setFolders(folders);
    }
}

void FrameWindow::applyBackground(BackgroundMode mode, const std::string& path) {
    QPixmap picture;
    switch (mode) {
    case BackgroundMode::Picture1:
        picture.load(image::kBackground1);
        break;
    case BackgroundMode::Picture2:
        picture.load(image::kBackground2);
        break;
    case BackgroundMode::File:
        picture.load(QString::fromStdString(path));
        break;
    case BackgroundMode::None:
        break;
    }
    if (picture.isNull()) {
        backgroundMode_ = BackgroundMode::None; // no picture, or one that cannot be shown
        mdiArea_->setBackground(palette().brush(QPalette::Dark));
        return;
    }
    backgroundMode_ = mode;
    mdiArea_->setBackground(QBrush(picture)); // tiled from the top-left corner
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

// Corvex has no web site apart from its help: the command opens the help page that says so
// and leads to the contents.
void FrameWindow::openWebSite() {
    openHelpTopic(kWebSiteHelpTopic);
}

void FrameWindow::openReadMe() {
    const std::string path = findReadMe(services_.programFolder());
    if (path.empty() || !prompts_->openUrl(QUrl::fromLocalFile(QString::fromStdString(path)))) {
        const std::string shown = path.empty() ? services_.programFolder() + "/README.md" : path;
        warn(qs(formatString(loadString(str::kFileNotFound), {shown})));
    }
}

// ---- The client area's context menu ------------------------------------------------------

QMenu* FrameWindow::createMonitorPopup(std::optional<ViewKind> monitor, bool marking,
                                       QWidget* parent) {
    auto* menu = new QMenu(parent);
    const bool overInput = monitor == ViewKind::InputMonitor;
    const bool hex = overInput ? state_.inputHex : state_.outputHex;
    for (const MenuItem& entry : monitorPopupMenu()) {
        if (entry.kind != MenuItem::Kind::Command) {
            menu->addSeparator();
            continue;
        }
        int id = entry.id;
        QString text = menuText(entry.text);
        bool enabled = commandEnabled(id, state_, provided(id));
        if (id == cmd::kViewHexDisplay) {
            id = overInput ? cmd::kMonitorInputHex : cmd::kMonitorOutputHex;
            text = hex ? QStringLiteral("Displa&y Decimal") : QStringLiteral("Displa&y Hex");
            enabled = monitor.has_value();
        } else if (id == cmd::kClearMonitor && monitor) {
            id = overInput ? cmd::kClearInput : cmd::kClearMainMonitor;
            text = overInput ? QStringLiteral("&Clear Input") : QStringLiteral("&Clear Monitor");
        } else if (id == cmd::kStopDisplay) {
            text = qs(commandText(id, state_));
        }
        const bool clipboard = id == cmd::kMarkForClipboard || id == cmd::kCopyToClipboard ||
                               id == cmd::kMarkWindow || id == cmd::kCopyAll;
        QAction* item = menu->addAction(text);
        item->setData(id);
        if (clipboard) {
            enabled = monitor.has_value() && !(id == cmd::kCopyToClipboard && !marking);
            if (id == cmd::kMarkForClipboard) {
                item->setCheckable(true);
                item->setChecked(marking);
            }
        }
        item->setEnabled(enabled);
        item->setStatusTip(qs(loadString(id)));
        connect(item, &QAction::triggered, this, [this, id, monitor] {
            if (QMdiSubWindow* window = monitor ? viewWindow(*monitor) : nullptr) {
                // The clipboard commands go to the monitor the menu was opened over.
                mdiArea_->setActiveSubWindow(window);
            }
            runCommand(id);
        });
    }
    return menu;
}

// ---- Timers, messages and events ---------------------------------------------------------

void FrameWindow::deviceChanged() {
    deviceTimer_.start(); // restarts: several changes within 350 ms give one check
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
    if (state_.keyboardActive && services_.openOutputCount() == 0) {
        switchKeyboardOff();
    }
    emit portsChanged();
}

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
    case WM_CVX_EVENTS:
    case WM_CVX_MONITORTEXT:
    case WM_CVX_SYSEXDATA:
    case WM_CVX_SCRIPTINPUT:
    case WM_CVX_PATCH_SEEN:
    case WM_CVX_TRAYANIMATE:
    case WM_CVX_TRAYNOTIFY:
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
    panicTimer_.stop();
    if (panicRun_) {
        panicRun_.reset();
        QApplication::restoreOverrideCursor();
    }
    deviceTimer_.stop();
    keyboardTimer_.stop();
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
    const DropDecision drop = decideDrop(paths);
    if (drop.kind == DroppedFileKind::Unsuitable) {
        QApplication::beep();
        if (dropRefusalSteps_ == 0) {
            refuseDrop();
        }
        return;
    }
    QApplication::beep();
    switch (drop.kind) {
    case DroppedFileKind::Profile:
        if (services_.loadProfile(drop.path)) {
            setProfilePath(drop.path);
            const GeneralOptions options = services_.generalOptions();
            applyBackground(options.background, options.backgroundPath);
        }
        break;
    case DroppedFileKind::DataMap:
        services_.loadGlobalMap(drop.path);
        break;
    case DroppedFileKind::SysEx:
        services_.openSysExFile(drop.path);
        break;
    case DroppedFileKind::Unsuitable:
        break;
    }
}

void FrameWindow::refuseDrop() {
    // The "no" cursor three times: 200 ms shown, 100 ms not.
    const bool showing = dropRefusalSteps_ % 2 == 1;
    if (showing) {
        QApplication::restoreOverrideCursor();
    }
    if (dropRefusalSteps_ == 2 * kRefusalFlashes) {
        dropRefusalSteps_ = 0;
        return;
    }
    if (!showing) {
        QApplication::setOverrideCursor(Qt::ForbiddenCursor);
    }
    ++dropRefusalSteps_;
    dropRefusalTimer_.start(showing ? kRefusalOffMs : kRefusalOnMs);
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event) {
    if (destroying_) {
        return false; // the area and its windows are being taken apart
    }
    if (watched == mdiArea_->viewport() && event->type() == QEvent::Resize &&
        !unplacedViews_.empty() && !mdiArea_->viewport()->rect().isEmpty()) {
        // Views added before the frame was laid out get their default place now.
        for (int kind : std::exchange(unplacedViews_, {})) {
            if (QMdiSubWindow* window = viewWindow(static_cast<ViewKind>(kind))) {
                placeByDefault(static_cast<ViewKind>(kind), window);
            }
        }
    }
    if (watched == mdiArea_->viewport() && event->type() == QEvent::ContextMenu) {
        // A right click on the empty client area: the menu without a monitor.
        const auto* click = static_cast<QContextMenuEvent*>(event);
        QMenu* menu = createMonitorPopup(std::nullopt, false, this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(click->globalPos());
        return true;
    }
    if (event->type() == QEvent::Close) {
        auto* window = qobject_cast<QMdiSubWindow*>(watched);
        if (window && window == viewWindow(ViewKind::MainMonitor)) {
            event->ignore(); // the main monitor lives as long as the frame
            return true;
        }
        if (window) {
            const int kind = window->property("viewKind").toInt();
            services_.viewClosed(static_cast<ViewKind>(kind), toRect(window->geometry()));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace corvex
