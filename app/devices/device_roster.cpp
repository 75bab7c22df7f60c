#include "device_roster.h"

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

template <typename Port>
Port* findByName(const std::array<std::unique_ptr<Port>, DeviceRoster::kPortObjects>& ports,
                 int count, const std::string& displayName) {
    for (int slot = 0; slot < count; ++slot) {
        if (ports[slot]->displayName() == displayName) {
            return ports[slot].get();
        }
    }
    return nullptr;
}

template <typename Port>
Port* findByIndex(const std::array<std::unique_ptr<Port>, DeviceRoster::kPortObjects>& ports,
                  int count, int deviceIndex) {
    for (int slot = 0; slot < count; ++slot) {
        if (ports[slot]->deviceIndex() == deviceIndex) {
            return ports[slot].get();
        }
    }
    return nullptr;
}

template <typename Port>
std::vector<std::string>
namesOf(const std::array<std::unique_ptr<Port>, DeviceRoster::kPortObjects>& ports, int count) {
    std::vector<std::string> names;
    for (int slot = 0; slot < count; ++slot) {
        names.push_back(ports[slot]->displayName());
    }
    return names;
}

template <typename Port>
int openCount(const std::array<std::unique_ptr<Port>, DeviceRoster::kPortObjects>& ports,
              int count) {
    int open = 0;
    for (int slot = 0; slot < count; ++slot) {
        open += ports[slot]->IsOpen();
    }
    return open;
}

} // namespace

DeviceRoster::DeviceRoster(PortContext& context) : context_(context) {
    for (int slot = 0; slot < kPortObjects; ++slot) {
        inputs_[slot] = std::make_unique<CMidiIn>(context_);
        outputs_[slot] = std::make_unique<CMidiOut>(context_);
    }
}

void DeviceRoster::reset() {
    for (int slot = 0; slot < kPortObjects; ++slot) {
        inputs_[slot]->Reset();
        outputs_[slot]->Reset();
    }
    inputCount_ = 0;
    outputCount_ = 0;
}

void DeviceRoster::enumerate(DeviceLog& log, DeviceUserInterface& ui) {
    reset();
    log.start();
    log.line("         Query Devices...");
    std::string notice;
    enumerateInputs(notice);
    enumerateOutputs(notice, ui);
    log.close();
    if (!notice.empty()) {
        ui.showWarning(notice);
    }
}

void DeviceRoster::enumerateInputs(std::string& notice) {
    const unsigned platformCount = context_.query->inputCount();
    if (platformCount == 0) {
        notice += "There are no MIDI input devices.\n\n";
    }
    // Indices from 135 on cannot be engine inputs (135 is the generated-event port).
    const unsigned usable = std::min<unsigned>(platformCount, kMaxDevices);
    int used = 0;
    std::vector<std::string> names;
    for (unsigned device = 0; device < usable; ++device) {
        if (inputs_[used]->QueryCaps(static_cast<int>(device)) != 0) {
            names.push_back(inputs_[used]->productName());
            ++used;
        }
    }
    numberDuplicateNames(names);
    for (int slot = 0; slot < used; ++slot) {
        inputs_[slot]->setProductName(names[slot]);
    }
    inputCount_ = used;
}

void DeviceRoster::enumerateOutputs(std::string& notice, DeviceUserInterface& ui) {
    const unsigned platformCount = context_.query->outputCount();
    if (platformCount == 0) {
        notice += "There are no MIDI output devices.";
    }
    const unsigned usable = std::min<unsigned>(platformCount, kMaxDevices);
    int used = 0;
    std::vector<std::string> names;
    for (unsigned device = 0; device < usable; ++device) {
        CMidiOut& port = *outputs_[used];
        if (port.QueryCaps(static_cast<int>(device)) != 0) {
            names.push_back(port.productName());
            ++used;
        } else {
            ui.showWarning(port.queryFailure());
        }
    }
    numberDuplicateNames(names);
    for (int slot = 0; slot < used; ++slot) {
        outputs_[slot]->setProductName(names[slot]);
    }
    // The mapper follows the outputs. Its engine index must not be that of a real output,
    // which it would be if a failed query had left a gap in the device indices.
    const int mapperIndex = used == 0 ? 0 : outputs_[used - 1]->deviceIndex() + 1;
    outputs_[used]->makeMapper(std::min(mapperIndex, kMaxDevices));
    outputCount_ = used + 1;
}

void DeviceRoster::setCustomNames(std::map<std::string, std::string> inputs,
                                  std::map<std::string, std::string> outputs) {
    customInputNames_ = std::move(inputs);
    customOutputNames_ = std::move(outputs);
    applyCustomNames();
}

void DeviceRoster::applyCustomNames() {
    auto apply = [](CMidiPort& port, const std::map<std::string, std::string>& names) {
        auto found = names.find(port.productName());
        const bool custom = found != names.end() && found->second != port.productName();
        port.setCustomName(custom ? found->second : std::string());
    };
    for (int slot = 0; slot < inputCount_; ++slot) {
        apply(*inputs_[slot], customInputNames_);
    }
    for (int slot = 0; slot < outputCount_; ++slot) {
        apply(*outputs_[slot], customOutputNames_);
    }
}

// The lists as enumeration would build them (same caps, names, suffixes), without logging.
DeviceRoster::DeviceList DeviceRoster::readDeviceList() const {
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

bool DeviceRoster::sameAs(const DeviceList& list) const {
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

// Matched by name and backend, not by index, which shifts when a device before them leaves.
void DeviceRoster::announceDisconnected(const DeviceList& list, DeviceUserInterface& ui) const {
    for (int slot = 0; slot < inputCount_; ++slot) {
        const CMidiIn& input = *inputs_[slot];
        if (input.IsOpen() != 0 &&
            !listed(list.inputs, list.inputBackends, input.productName(), input.backend())) {
            ui.appendMonitorText("Closing disconnected MIDI Input... " + input.displayName());
        }
    }
    for (int slot = 0; slot < outputCount_; ++slot) {
        const CMidiOut& output = *outputs_[slot];
        if (output.IsOpen() != 0 && !output.isMapper() &&
            !listed(list.outputs, list.outputBackends, output.productName(), output.backend())) {
            ui.appendMonitorText("Closing disconnected MIDI Output... " + output.displayName());
        }
    }
}

CMidiIn* DeviceRoster::findInput(const std::string& displayName) {
    return findByName(inputs_, inputCount_, displayName);
}

CMidiOut* DeviceRoster::findOutput(const std::string& displayName) {
    return findByName(outputs_, outputCount_, displayName);
}

CMidiIn* DeviceRoster::inputAt(int deviceIndex) {
    return findByIndex(inputs_, inputCount_, deviceIndex);
}

CMidiOut* DeviceRoster::outputAt(int deviceIndex) {
    return findByIndex(outputs_, outputCount_, deviceIndex);
}

std::vector<std::string> DeviceRoster::inputNames() const {
    return namesOf(inputs_, inputCount_);
}

std::vector<std::string> DeviceRoster::outputNames() const {
    return namesOf(outputs_, outputCount_);
}

int DeviceRoster::openInputCount() const {
    return openCount(inputs_, inputCount_);
}

int DeviceRoster::openOutputCount() const {
    return openCount(outputs_, outputCount_);
}

} // namespace corvex
