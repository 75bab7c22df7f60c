#include "frame_command_wiring.h"

#include "command_ids.h"
#include "command_table.h"
#include "frame_effects.h"
#include "frame_prompts.h"
#include "frame_views.h"
#include "frame_window.h"
#include "help_pages.h"
#include "menu_resource.h"

#include <functional>
#include <span>

namespace corvex {
namespace {

using Action = std::function<void()>;

void add(CommandTable& table, int id, Action run) {
    table.add(id, [run = std::move(run)](int) { run(); });
}

} // namespace

void FrameCommandWiring::wire(CommandTable& table) {
    addProgramCommands(table);
    addFileAndHelpCommands(table);
    addWindowCommands(table);
    addMonitorCommands(table);
    addActionCommands(table);
    addNotifications(table);
}

void FrameCommandWiring::runProgramCommand(FrameWindow& f, int id) {
    if (isToolWindowCommand(id)) {
        f.openToolWindow(id);
        return;
    }
    if (f.services_.runCommand(id) &&
        (id == cmd::kMidiDevices || id == cmd::kReleaseMidi || id == cmd::kCustomizePortNames)) {
        f.followPorts();
    }
}

void FrameCommandWiring::addProgramCommands(CommandTable& table) {
    // Every command of the menus and of the other windows that the frame does not run itself
    // is the program's: tool windows, dialogs and views of other parts.
    FrameWindow& f = frame_;
    auto addAll = [&f, &table](auto&& self, std::span<const MenuItem> items) -> void {
        for (const MenuItem& entry : items) {
            if (entry.kind == MenuItem::Kind::Popup) {
                self(self, entry.items);
            } else if (entry.kind == MenuItem::Kind::Command && !isFrameCommand(entry.id)) {
                add(table, entry.id, [&f, id = entry.id] { runProgramCommand(f, id); });
            }
        }
    };
    addAll(addAll, mainMenu());
    // Commands of the status bar and the tray menu.
    for (int id : {cmd::kToggleLogging, cmd::kGlobalDataMap}) {
        add(table, id, [&f, id] { runProgramCommand(f, id); });
    }
}

void FrameCommandWiring::addFileAndHelpCommands(CommandTable& table) {
    FrameWindow& f = frame_;
    add(table, cmd::kAbout, [&f] { f.prompts_->showAbout(&f); });
    add(table, cmd::kExit, [&f] { f.close(); });
    add(table, cmd::kLoadProfile, [&f] { f.loadProfile(); });
    add(table, cmd::kSaveProfile, [&f] { f.saveProfile(); });
    add(table, cmd::kGeneralOptions, [&f] { f.editGeneralOptions(); });
    add(table, cmd::kFolders, [&f] { f.editFolders(); });
    add(table, cmd::kCustomizeToolbar, [&f] { f.customizeToolBar(); });
    add(table, cmd::kHelpContents, [&f] { f.openHelpPage(kHelpContentsPage); });
    add(table, cmd::kHelpSearch, [&f] { f.openHelpPage(kHelpSearchPage); });
    add(table, cmd::kHelpOnHelp, [&f] { f.openHelpPage(kHelpOnHelpPage); });
    add(table, cmd::kContextHelp, [&f] { f.openHelpTopic(f.contextHelpTopic_); });
    // Corvex has no web site apart from its help: the page that says so leads to the rest.
    add(table, cmd::kWebSite, [&f] { f.openHelpTopic(kWebSiteHelpTopic); });
    add(table, cmd::kReadMe, [&f] { f.openReadMe(); });
}

void FrameCommandWiring::addWindowCommands(CommandTable& table) {
    FrameWindow& f = frame_;
    FrameViews& views = *f.views_;
    add(table, cmd::kCascade, [&views] { views.cascade(); });
    add(table, cmd::kTileHorizontally, [&views] { views.tile(true); });
    add(table, cmd::kTileVertically, [&views] { views.tile(false); });
    add(table, cmd::kArrangeIcons, [&views] { views.arrangeIcons(); });
    add(table, cmd::kCloseAll, [&f] { f.closeAllChildren(); });
    add(table, cmd::kClose, [&f] { f.closeActiveChild(); });
    add(table, cmd::kMainMonitor, [&views] {
        if (QMdiSubWindow* main = views.viewWindow(ViewKind::MainMonitor)) {
            views.activate(main);
        }
    });
    for (ViewKind kind : {ViewKind::InputMonitor, ViewKind::MidiStatus, ViewKind::PortStatus,
                          ViewKind::PortRouting}) {
        add(table, viewCommand(kind), [&views, kind] { views.openView(kind); });
    }
}

void FrameCommandWiring::addMonitorCommands(CommandTable& table) {
    FrameWindow& f = frame_;
    FrameServices& services = f.services_;
    FrameViews& views = *f.views_;
    add(table, cmd::kMonitorInputHex, [&f] { f.toggleHex(ViewKind::InputMonitor); });
    add(table, cmd::kMonitorOutputHex, [&f] { f.toggleHex(ViewKind::MainMonitor); });
    add(table, cmd::kStopDisplay, [&f] { f.toggleDisplay(); });
    add(table, cmd::kClearMonitor, [&services, &views] {
        services.sendViewCommand(views.activeMonitor(), cmd::kClearMonitor, 0);
    });
    add(table, cmd::kClearInput, [&services, &views] {
        if (views.viewWindow(ViewKind::InputMonitor)) {
            services.sendViewCommand(ViewKind::InputMonitor, cmd::kClearMonitor, 0);
        }
    });
    add(table, cmd::kClearMainMonitor,
        [&services] { services.sendViewCommand(ViewKind::MainMonitor, cmd::kClearMonitor, 0); });
    for (int id :
         {cmd::kMarkForClipboard, cmd::kCopyToClipboard, cmd::kMarkWindow, cmd::kCopyAll}) {
        // To the input monitor when it is active, else to the main monitor when that is.
        add(table, id, [&services, &views, id] {
            for (ViewKind monitor : {ViewKind::InputMonitor, ViewKind::MainMonitor}) {
                if (views.isActive(monitor)) {
                    services.sendViewCommand(monitor, id, 0);
                    return;
                }
            }
        });
    }
    add(table, cmd::kMonitorFont, [&services, &views] {
        services.sendViewCommand(ViewKind::MainMonitor, cmd::kMonitorFont, 0);
        if (views.viewWindow(ViewKind::InputMonitor)) {
            services.sendViewCommand(ViewKind::InputMonitor, cmd::kInputMonitorFont, 0);
        }
    });
    add(table, cmd::kDeviceInfo, [&services] { services.showListing(Listing::DeviceInfo); });
    add(table, cmd::kRunningStatus, [&services] { services.showListing(Listing::RunningStatus); });
    add(table, cmd::kCurrentMap, [&services] { services.showListing(Listing::CurrentMap); });
}

void FrameCommandWiring::addActionCommands(CommandTable& table) {
    FrameWindow& f = frame_;
    add(table, cmd::kPanicReset, [&f] { f.effects_->startPanic(); });
    for (int id : {cmd::kGmOn, cmd::kGsOn, cmd::kXgOn}) {
        add(table, id, [&f, id] { f.sendReset(id); });
    }
    add(table, cmd::kPassSysEx, [&f] { f.togglePassSysEx(); });
    add(table, cmd::kKeyboard, [&f] { f.toggleKeyboard(); });
    add(table, cmd::kAlwaysOnTop, [&f] { f.toggleOnTop(); });
    add(table, cmd::kMinimizeInTray, [&f] { f.toggleMinimizeToTray(); });
    add(table, cmd::kAlwaysInTray, [&f] { f.toggleAlwaysInTray(); });
    add(table, cmd::kShowHide, [&f] { f.showOrHide(); });
}

void FrameCommandWiring::addNotifications(CommandTable& table) {
    FrameWindow& f = frame_;
    FrameServices& services = f.services_;
    FrameViews& views = *f.views_;
    // Sent by the device layer whenever the ports were opened or closed.
    table.add(cmd::kPortsChanged, [&f, &services, &views](int code) {
        if (code != 1) {
            return;
        }
        if (views.viewWindow(ViewKind::MidiStatus)) {
            services.sendViewCommand(ViewKind::MidiStatus, cmd::kClearStatus, 0);
        }
        for (ViewKind kind : {ViewKind::PortStatus, ViewKind::PortRouting}) {
            if (views.viewWindow(kind)) {
                services.sendViewCommand(kind, cmd::kPortsChanged, 1);
            }
        }
        f.followPorts();
    });
    table.add(cmd::kPatchMapHandled, [&services, &views](int code) {
        if (code == 1 && views.viewWindow(ViewKind::PortRouting)) {
            services.sendViewCommand(ViewKind::PortRouting, cmd::kPatchMapHandled, 1);
        }
    });
}

} // namespace corvex
