#include "midi.h"

#include "device_listings.h"
#include "ini/engine_settings.h"

namespace corvex {

CMidi::CMidi(DeviceUserInterface& ui, OpenGuardStore& guard, MidiDeviceQuery& query)
    : ui_(ui), context_{&query, &log_, 0, {}}, roster_(context_), selection_(roster_),
      sysex_(roster_, ui), opener_({roster_, selection_, sysex_, log_, context_}, ui, guard),
      engine_(context_) {
    const DeviceSettings defaults;
    log_.configure(deviceLogPath(1), defaults.applicationTitle, defaults.versionText);
}

void CMidi::configure(const DeviceSettings& settings) {
    selection_.setStored(settings.selection);
    roster_.setCustomNames(settings.customInputNames, settings.customOutputNames);
    sysex_.configure(settings.sysex);
    verboseDeviceInfo_ = settings.verboseDeviceInfo;
    log_.configure(deviceLogPath(settings.profileNumber), settings.applicationTitle,
                   settings.versionText);
}

bool CMidi::autoOpenEnabled() {
    const std::string path = cvx::profile::engineSettingsPath();
    return path.empty() || cvx::profile::readAutoOpen(path) != 0;
}

uint64_t CMidi::createClient(HWND mainWindow, HINSTANCE instance, const CFilter& filter) {
    opener_.clientChanged();
    return engine_.createClient(mainWindow, instance, filter);
}

void CMidi::enumerateDevices() {
    // Open handles would not survive the rebuild: the indices may change under them.
    if (roster_.openInputCount() + roster_.openOutputCount() > 0) {
        opener_.closePorts();
    }
    selection_.forgetFailures();
    roster_.enumerate(log_, ui_);
}

void CMidi::setCustomNames(std::map<std::string, std::string> inputs,
                           std::map<std::string, std::string> outputs) {
    selection_.save(); // under the names in use until now
    const std::vector<std::string> inputsBefore = roster_.inputNames();
    const std::vector<std::string> outputsBefore = roster_.outputNames();
    roster_.setCustomNames(std::move(inputs), std::move(outputs));
    selection_.renameStored(inputsBefore, outputsBefore);
}

bool CMidi::checkDeviceChange() {
    const DeviceRoster::DeviceList list = roster_.readDeviceList();
    if (roster_.sameAs(list)) {
        return false;
    }
    ui_.appendMonitorText("MIDI device change detected...");
    // The selection as it stands, kept by name for devices that leave now.
    selection_.save();
    const bool wasOpen = opener_.portsOpen();
    if (wasOpen) {
        roster_.announceDisconnected(list, ui_);
        opener_.closePorts();
    }
    enumerateDevices();
    roster_.applyCustomNames();
    selection_.restore();
    if (wasOpen && opener_.openPorts()) {
        ui_.appendMonitorText("Reopened active MIDI drivers.");
    }
    return true;
}

void CMidi::listDeviceInformation() {
    corvex::listDeviceInformation(roster_, selection_.portDataMap(), verboseDeviceInfo_, ui_);
}

void CMidi::listRunningStatus() {
    corvex::listRunningStatus(roster_, engine_, ui_);
}

void CMidi::listDataMap() {
    corvex::listDataMap(engine_.map(), ui_);
}

} // namespace corvex
