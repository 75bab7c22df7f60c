// Following the MIDI service when devices come and go.
#include "midi.h"

#include <algorithm>
#include <cstring>

namespace corvex {

namespace {

std::string capsName(const char* name) {
    return std::string(name, strnlen(name, MAXPNAMELEN));
}

bool listed(const std::vector<std::string>& names, const std::vector<std::string>& backends,
            const std::string& name, const std::string& backend) {
    for (size_t at = 0; at < names.size(); ++at) {
        if (names[at] == name && backends[at] == backend) {
            return true;
        }
    }
    return false;
}

} // namespace

// The lists as enumeration would build them (same caps, names, suffixes), without logging.
CMidi::DeviceList CMidi::readDeviceList() {
    DeviceList list;
    MidiDeviceQuery& query = *context_.query;
    const unsigned inputs = std::min<unsigned>(query.inputCount(), kMaxDevices);
    for (unsigned device = 0; device < inputs; ++device) {
        MIDIINCAPS caps{};
        if (query.inputCaps(device, caps) != MMSYSERR_NOERROR) {
            continue;
        }
        std::string backend;
        std::string name = query.inputName(device, backend);
        list.inputs.push_back(name.empty() ? capsName(caps.szPname) : name);
        list.inputBackends.push_back(backend);
    }
    const unsigned outputs = std::min<unsigned>(query.outputCount(), kMaxDevices);
    for (unsigned device = 0; device < outputs; ++device) {
        MIDIOUTCAPS caps{};
        if (query.outputCaps(device, caps) != MMSYSERR_NOERROR) {
            continue;
        }
        std::string backend;
        std::string name = query.outputName(device, backend);
        list.outputs.push_back(name.empty() ? capsName(caps.szPname) : name);
        list.outputBackends.push_back(backend);
    }
    numberDuplicateNames(list.inputs);
    numberDuplicateNames(list.outputs);
    return list;
}

bool CMidi::sameAsPorts(const DeviceList& list) const {
    if (static_cast<int>(list.inputs.size()) != inputCount_ ||
        static_cast<int>(list.outputs.size()) + 1 != outputCount_) {
        return false;
    }
    for (int slot = 0; slot < inputCount_; ++slot) {
        if (inputs_[slot]->productName() != list.inputs[slot] ||
            inputs_[slot]->backend() != list.inputBackends[slot]) {
            return false;
        }
    }
    for (int slot = 0; slot + 1 < outputCount_; ++slot) {
        if (outputs_[slot]->productName() != list.outputs[slot] ||
            outputs_[slot]->backend() != list.outputBackends[slot]) {
            return false;
        }
    }
    return true;
}

// Names the open ports whose device is gone: matched by name and backend, not by index,
// which shifts when a device before them leaves.
void CMidi::announceDisconnected(const DeviceList& list) {
    for (int slot = 0; slot < inputCount_; ++slot) {
        const CMidiIn& input = *inputs_[slot];
        if (input.IsOpen() != 0 &&
            !listed(list.inputs, list.inputBackends, input.productName(), input.backend())) {
            ui_.appendMonitorText("Closing disconnected MIDI Input... " + input.displayName());
        }
    }
    for (int slot = 0; slot < outputCount_; ++slot) {
        const CMidiOut& output = *outputs_[slot];
        if (output.IsOpen() != 0 && !output.isMapper() &&
            !listed(list.outputs, list.outputBackends, output.productName(), output.backend())) {
            ui_.appendMonitorText("Closing disconnected MIDI Output... " + output.displayName());
        }
    }
}

bool CMidi::checkDeviceChange() {
    const DeviceList list = readDeviceList();
    if (sameAsPorts(list)) {
        return false;
    }
    ui_.appendMonitorText("MIDI device change detected...");
    // The selection as it stands, kept by name for devices that leave now.
    saveSelections();
    const bool wasOpen = portsOpen_;
    if (wasOpen) {
        announceDisconnected(list);
        closePorts();
    }
    enumerateDevices();
    applyCustomNames();
    restoreSelections();
    if (wasOpen && openPorts()) {
        ui_.appendMonitorText("Reopened active MIDI drivers.");
    }
    return true;
}

} // namespace corvex
