// Opening and closing the selected ports, with the crash guard, and their SysEx buffers.
#include "midi.h"

#include "cvxlib.h"

#include <cstdio>

namespace corvex {

namespace {

constexpr uint16_t kMinimumBufferCount = 2;
constexpr uint16_t kDefaultBufferSize = 256;

bool isConnected(const CPortMap& map, int input) {
    return (map.inputBits[input / 32] >> (input % 32) & 1u) != 0;
}

std::string shortageMessage(const char* direction, int round, const std::string& port,
                            const char* releasing) {
    char text[640];
    std::snprintf(text, sizeof text,
                  "Not enough memory for SysEx %s Buffer No. %d for %s.\r\nReleasing all %s "
                  "buffers.",
                  direction, round, port.c_str(), releasing);
    return text;
}

} // namespace

// Everything that must hold on every way out of opening, an exception included: input
// unblocked, the device log closed and the crash guard cleared, so that a clean failure
// never asks "Previous Failure" next time.
class CMidi::OpeningScope {
public:
    explicit OpeningScope(CMidi& midi) : midi_(midi) {
        // The mark first: if it cannot be written, nothing else has happened yet.
        midi_.guard_.setLastOpenFailed(1);
        BlockInput(midi_.context_.client, 1);
        midi_.log_.resume();
    }
    OpeningScope(const OpeningScope&) = delete;
    OpeningScope& operator=(const OpeningScope&) = delete;
    ~OpeningScope() {
        midi_.log_.close();
        BlockInput(midi_.context_.client, 0);
        try {
            midi_.guard_.setLastOpenFailed(0);
        } catch (...) {
            // The store reports its own failures; a destructor must not throw.
        }
    }

private:
    CMidi& midi_;
};

bool CMidi::confirmRetry() {
    for (;;) {
        switch (ui_.askPreviousFailure()) {
        case DeviceUserInterface::RetryAnswer::Yes:
            return true;
        case DeviceUserInterface::RetryAnswer::No:
            return false;
        case DeviceUserInterface::RetryAnswer::ViewLog:
            if (!ui_.openFile(log_.path())) {
                ui_.showWarning("Could not open the log file.  It is possible the file name was "
                                "not a type known by the system (.TXT).");
            }
            break; // and ask again
        }
    }
}

bool CMidi::openPorts() {
    if (guard_.lastOpenFailed() != 0 && !confirmRetry()) {
        guard_.setLastOpenFailed(0);
        return false;
    }
    if (portsOpen_ || openInputCount() + openOutputCount() > 0) {
        closePorts();
    }
    bool anything = false;
    {
        OpeningScope scope(*this);
        context_.pendingOpenErrors.clear();
        const int inputs = openSelectedInputs();
        const int outputs = openSelectedOutputs();
        anything = inputs + outputs > 0;
        log_.close();
        if (!context_.pendingOpenErrors.empty()) {
            const std::string errors = context_.pendingOpenErrors;
            context_.pendingOpenErrors.clear();
            ui_.showWarning(errors);
        }
        portsOpen_ = anything;
        if (anything) {
            sendPortDataMaps();
        }
    }
    ui_.portsChanged();
    return anything;
}

int CMidi::openSelectedInputs() {
    // Inputs that failed last time are tried again, with the routing they had.
    for (const int deviceIndex : failedInputs_) {
        reconnectInput(deviceIndex);
    }
    failedInputs_.clear();
    int opened = 0;
    for (int slot = 0; slot < inputCount_; ++slot) {
        CMidiIn& input = *inputs_[slot];
        if (!input.selected()) {
            continue;
        }
        if (input.Open() != 0) {
            ++opened;
        } else {
            failedInputs_.push_back(input.deviceIndex());
            disconnectInput(input.deviceIndex());
        }
    }
    if (sysex_.enabled && sysex_.inputCount > 0 && !giveInputBuffers()) {
        dropSysEx();
    }
    startInputs();
    if (opened > 0) {
        ui_.appendMonitorText("Opened MIDI Input");
    }
    return opened;
}

// A failed input leaves the routing of every selected output, so nothing waits on it.
void CMidi::disconnectInput(int deviceIndex) {
    for (int slot = 0; slot < outputCount_; ++slot) {
        CMidiOut& output = *outputs_[slot];
        if (output.selected()) {
            output.portMap().inputBits[deviceIndex / 32] &= ~(1u << (deviceIndex % 32));
        }
    }
}

void CMidi::reconnectInput(int deviceIndex) {
    for (int slot = 0; slot < outputCount_; ++slot) {
        CPortMap& map = outputs_[slot]->portMap();
        if (outputs_[slot]->selected() && map.inputMasks[deviceIndex] != 0) {
            map.inputBits[deviceIndex / 32] |= 1u << (deviceIndex % 32);
        }
    }
}

void CMidi::startInputs() {
    std::vector<HMIDIIN> handles;
    for (int slot = 0; slot < inputCount_ && handles.size() < kMaxDevices; ++slot) {
        if (inputs_[slot]->IsOpen() != 0) {
            handles.push_back(inputs_[slot]->handle());
        }
    }
    StartTimeStamp(context_.client);
    for (size_t position = 0; position < handles.size(); ++position) {
        if (StartMidiIn(handles[position]) != MMSYSERR_NOERROR) {
            ui_.showWarning("StartMidiIn Failed - dev: " + std::to_string(position));
            break;
        }
    }
}

int CMidi::openSelectedOutputs() {
    int opened = 0;
    for (int slot = 0; slot < outputCount_; ++slot) {
        CMidiOut& output = *outputs_[slot];
        if (output.selected() && output.Open() != 0) {
            ++opened;
        }
    }
    if (sysex_.enabled && sysex_.outputCount > 0 && !giveOutputBuffers(true)) {
        dropSysEx();
    }
    if (opened > 0) {
        ui_.appendMonitorText("Opened MIDI Output");
    }
    return opened;
}

void CMidi::logLostData() {
    CPortCounters counters{};
    counters.cbStruct = sizeof counters;
    if (context_.client == 0 || GetPortCounters(context_.client, &counters) == 0) {
        return;
    }
    std::vector<LossReportPort> inputs;
    for (int slot = 0; slot < inputCount_; ++slot) {
        if (inputs_[slot]->IsOpen() != 0) {
            inputs.push_back({inputs_[slot]->deviceIndex(), inputs_[slot]->displayName()});
        }
    }
    std::vector<LossReportPort> outputs;
    for (int slot = 0; slot < outputCount_; ++slot) {
        if (outputs_[slot]->IsOpen() != 0) {
            outputs.push_back({outputs_[slot]->deviceIndex(), outputs_[slot]->displayName()});
        }
    }
    const std::vector<std::string> lines = lossReport_.lines(counters, inputs, outputs);
    if (lines.empty()) {
        return;
    }
    log_.resume();
    for (const std::string& line : lines) {
        log_.line(line);
    }
    log_.close();
}

void CMidi::closePorts() {
    logLostData();
    int inputs = 0;
    for (int slot = 0; slot < inputCount_; ++slot) {
        inputs += inputs_[slot]->Close();
    }
    if (inputs > 0) {
        ui_.appendMonitorText("Closed MIDI Input");
    }
    int outputs = 0;
    for (int slot = 0; slot < outputCount_; ++slot) {
        outputs += outputs_[slot]->Close();
    }
    if (outputs > 0) {
        ui_.appendMonitorText("Closed MIDI Output");
    }
    portsOpen_ = false;
    ui_.portsChanged();
}

bool CMidi::reopenPorts() {
    closePorts();
    return openPorts();
}

int CMidi::openInputCount() const {
    int count = 0;
    for (int slot = 0; slot < inputCount_; ++slot) {
        count += inputs_[slot]->IsOpen();
    }
    return count;
}

int CMidi::openOutputCount() const {
    int count = 0;
    for (int slot = 0; slot < outputCount_; ++slot) {
        count += outputs_[slot]->IsOpen();
    }
    return count;
}

// ---- Routing ---------------------------------------------------------------------------------

void CMidi::sendPortDataMaps() {
    for (int out = 0; out < outputCount_; ++out) {
        const CMidiOut& output = *outputs_[out];
        if (output.IsOpen() == 0) {
            continue;
        }
        std::vector<int> sources;
        for (int in = 0; in < inputCount_; ++in) {
            if (inputs_[in]->IsOpen() != 0) {
                sources.push_back(inputs_[in]->deviceIndex());
            }
        }
        sources.push_back(kGeneratedPort);
        for (const int input : sources) {
            ClearPDMap(context_.client, input, output.deviceIndex());
            const std::optional<std::string> path = portDataMap_.find(output.deviceIndex(), input);
            if (path && routeMapReader_ != nullptr) {
                routeMapReader_->readRouteMap(*path, [&](const SMapper& map) {
                    SendPDMap(context_.client, input, output.deviceIndex(), map);
                });
            }
        }
    }
}

void CMidi::updatePortMap(int outputSlot) {
    CMidiOut& output = *outputs_[outputSlot];
    UpdatePortMap(context_.client, static_cast<uint16_t>(output.deviceIndex()), &output.portMap());
}

// ---- SysEx buffers ---------------------------------------------------------------------------

bool CMidi::outputNeedsSysEx(const CMidiOut& output) const {
    const CPortMap& map = output.portMap();
    if (isConnected(map, kGeneratedPort) && (map.inputMasks[kGeneratedPort] & CVX_ROUTE_SYSEX)) {
        return true;
    }
    for (int slot = 0; slot < inputCount_; ++slot) {
        const int index = inputs_[slot]->deviceIndex();
        if (inputs_[slot]->IsOpen() != 0 && isConnected(map, index) &&
            (map.inputMasks[index] & CVX_ROUTE_SYSEX) != 0) {
            return true;
        }
    }
    return false;
}

// One buffer per open input and round; at the first failure every input buffer goes back.
bool CMidi::giveInputBuffers() {
    for (int round = 1; round <= sysex_.inputCount; ++round) {
        for (int slot = 0; slot < inputCount_; ++slot) {
            CMidiIn& input = *inputs_[slot];
            if (input.IsOpen() != 0 && input.AllocSysExBuffer(sysex_.inputSize) == 0) {
                releaseInputBuffers();
                ui_.showWarning(shortageMessage("In", round, input.displayName(), "Input"));
                return false;
            }
        }
    }
    return true;
}

bool CMidi::giveOutputBuffers(bool onlyWhereNeeded) {
    for (int round = 1; round <= sysex_.outputCount; ++round) {
        for (int slot = 0; slot < outputCount_; ++slot) {
            CMidiOut& output = *outputs_[slot];
            if (output.IsOpen() == 0 || (onlyWhereNeeded && !outputNeedsSysEx(output))) {
                continue;
            }
            if (output.AllocSysExBuffer(sysex_.outputSize) == 0) {
                releaseOutputBuffers();
                ui_.showWarning(shortageMessage("Out", round, output.displayName(), "Output"));
                return false;
            }
        }
    }
    return true;
}

void CMidi::releaseInputBuffers() {
    for (int slot = 0; slot < inputCount_; ++slot) {
        inputs_[slot]->FreeSysExBuffers();
    }
}

void CMidi::releaseOutputBuffers() {
    for (int slot = 0; slot < outputCount_; ++slot) {
        outputs_[slot]->FreeSysExBuffers();
    }
}

void CMidi::dropSysEx() {
    sysex_.enabled = false;
    ui_.sysexPassingChanged(false);
}

bool CMidi::switchSysExOn() {
    auto atLeast = [this](uint16_t& value, uint16_t minimum, const char* message) {
        if (value < minimum) {
            value = minimum;
            ui_.showWarning(message);
        }
    };
    atLeast(sysex_.inputCount, kMinimumBufferCount,
            "Selected number of input SysEx buffers is less than 2! Defaulting to 2");
    if (sysex_.inputSize == 0) {
        sysex_.inputSize = kDefaultBufferSize;
        ui_.showWarning("Selected size of input SysEx buffers is Zero! Defaulting to 256");
    }
    atLeast(sysex_.outputCount, kMinimumBufferCount,
            "Selected number of output SysEx buffers is less than 2! Defaulting to 2");
    if (sysex_.outputSize == 0) {
        sysex_.outputSize = kDefaultBufferSize;
        ui_.showWarning("Selected size of output SysEx buffers is Zero! Defaulting to 256");
    }
    // Any shortage leaves SysEx off, and off means no buffers in either direction.
    if (!giveOutputBuffers(false) || !giveInputBuffers()) {
        releaseOutputBuffers();
        releaseInputBuffers();
        if (sysex_.enabled) {
            dropSysEx();
        }
        return false;
    }
    if (!sysex_.enabled) {
        sysex_.enabled = true;
        ui_.sysexPassingChanged(true);
    }
    return true;
}

void CMidi::switchSysExOff() {
    releaseOutputBuffers();
    releaseInputBuffers();
    if (sysex_.enabled) {
        sysex_.enabled = false;
        ui_.sysexPassingChanged(false);
    }
}

bool CMidi::setSysExBufferSizes(uint16_t inputCount, uint16_t inputSize, uint16_t outputCount,
                                uint16_t outputSize) {
    const SysExBufferConfig wanted{sysex_.enabled, inputCount, inputSize, outputCount, outputSize};
    if (wanted == sysex_) {
        return true;
    }
    const bool wasOn = sysex_.enabled;
    switchSysExOff();
    sysex_ = wanted;
    sysex_.enabled = false;
    if (wasOn && !switchSysExOn()) {
        ui_.showWarning("Could not SetBuffer Sizes.");
        return false;
    }
    return true;
}

} // namespace corvex
