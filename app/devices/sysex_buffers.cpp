#include "sysex_buffers.h"

#include "port_routing_bits.h"
#include "port_selection.h"

#include <cstdio>

namespace corvex {

namespace {

constexpr uint16_t kMinimumBufferCount = 2;
constexpr uint16_t kDefaultBufferSize = 256;
constexpr int kGeneratedPort = PortSelection::kGeneratedPort;

std::string shortageMessage(const char* direction, int round, const std::string& port,
                            const char* releasing) {
    char text[640];
    std::snprintf(text, sizeof text,
                  "Not enough memory for SysEx %s Buffer No. %d for %s.\r\nReleasing all %s "
                  "buffers.",
                  direction, round, port.c_str(), releasing);
    return text;
}

void atLeast(uint16_t& value, uint16_t minimum, const char* message, DeviceUserInterface& ui) {
    if (value < minimum) {
        value = minimum;
        ui.showWarning(message);
    }
}

void notZero(uint16_t& size, const char* message, DeviceUserInterface& ui) {
    if (size == 0) {
        size = kDefaultBufferSize;
        ui.showWarning(message);
    }
}

} // namespace

void SysExBuffers::enforceInputMinimums() {
    atLeast(config_.inputCount, kMinimumBufferCount,
            "Selected number of input SysEx buffers is less than 2! Defaulting to 2", ui_);
    notZero(config_.inputSize, "Selected size of input SysEx buffers is Zero! Defaulting to 256",
            ui_);
}

void SysExBuffers::enforceOutputMinimums() {
    atLeast(config_.outputCount, kMinimumBufferCount,
            "Selected number of output SysEx buffers is less than 2! Defaulting to 2", ui_);
    notZero(config_.outputSize, "Selected size of output SysEx buffers is Zero! Defaulting to 256",
            ui_);
}

void SysExBuffers::changed(const SysExBufferConfig& before) {
    if (config_.inputCount != before.inputCount || config_.inputSize != before.inputSize ||
        config_.outputCount != before.outputCount || config_.outputSize != before.outputSize) {
        ui_.sysexBuffersChanged(config_);
    }
}

void SysExBuffers::setEnabled(bool on) {
    if (config_.enabled != on) {
        config_.enabled = on;
        ui_.sysexPassingChanged(on);
    }
}

bool SysExBuffers::outputNeedsSysEx(const CMidiOut& output) const {
    const CPortMap& map = output.portMap();
    if (inputConnected(map, kGeneratedPort) &&
        (map.inputMasks[kGeneratedPort] & CVX_ROUTE_SYSEX) != 0) {
        return true;
    }
    for (int slot = 0; slot < roster_.inputCount(); ++slot) {
        const CMidiIn& input = roster_.input(slot);
        const int index = input.deviceIndex();
        if (input.IsOpen() != 0 && inputConnected(map, index) &&
            (map.inputMasks[index] & CVX_ROUTE_SYSEX) != 0) {
            return true;
        }
    }
    return false;
}

// One buffer per open input and round; at the first failure every input buffer goes back.
bool SysExBuffers::giveInputBuffers() {
    for (int round = 1; round <= config_.inputCount; ++round) {
        for (int slot = 0; slot < roster_.inputCount(); ++slot) {
            CMidiIn& input = roster_.input(slot);
            if (input.IsOpen() != 0 && input.AllocSysExBuffer(config_.inputSize) == 0) {
                releaseInputBuffers();
                ui_.showWarning(shortageMessage("In", round, input.displayName(), "Input"));
                return false;
            }
        }
    }
    return true;
}

bool SysExBuffers::giveOutputBuffers(bool onlyWhereNeeded) {
    for (int round = 1; round <= config_.outputCount; ++round) {
        for (int slot = 0; slot < roster_.outputCount(); ++slot) {
            CMidiOut& output = roster_.output(slot);
            if (output.IsOpen() == 0 || (onlyWhereNeeded && !outputNeedsSysEx(output))) {
                continue;
            }
            if (output.AllocSysExBuffer(config_.outputSize) == 0) {
                releaseOutputBuffers();
                ui_.showWarning(shortageMessage("Out", round, output.displayName(), "Output"));
                return false;
            }
        }
    }
    return true;
}

void SysExBuffers::releaseInputBuffers() {
    for (int slot = 0; slot < roster_.inputCount(); ++slot) {
        roster_.input(slot).FreeSysExBuffers();
    }
}

void SysExBuffers::releaseOutputBuffers() {
    for (int slot = 0; slot < roster_.outputCount(); ++slot) {
        roster_.output(slot).FreeSysExBuffers();
    }
}

void SysExBuffers::giveOpenedInputs() {
    if (!config_.enabled || roster_.openInputCount() == 0) {
        return;
    }
    const SysExBufferConfig before = config_;
    enforceInputMinimums();
    changed(before);
    if (!giveInputBuffers()) {
        setEnabled(false);
    }
}

void SysExBuffers::giveOpenedOutputs() {
    if (!config_.enabled || roster_.openOutputCount() == 0) {
        return;
    }
    const SysExBufferConfig before = config_;
    enforceOutputMinimums();
    changed(before);
    if (!giveOutputBuffers(true)) {
        setEnabled(false);
    }
}

bool SysExBuffers::switchOn() {
    const SysExBufferConfig before = config_;
    enforceInputMinimums();
    enforceOutputMinimums();
    changed(before);
    // Any shortage leaves SysEx off, and off means no buffers in either direction.
    if (!giveOutputBuffers(false) || !giveInputBuffers()) {
        releaseOutputBuffers();
        releaseInputBuffers();
        setEnabled(false);
        return false;
    }
    setEnabled(true);
    return true;
}

bool SysExBuffers::apply(const SysExBufferConfig& config) {
    releaseOutputBuffers();
    releaseInputBuffers();
    const bool wasOn = config_.enabled;
    config_ = config;
    config_.enabled = wasOn;
    if (config.enabled) {
        return switchOn();
    }
    setEnabled(false);
    return true;
}

void SysExBuffers::switchOff() {
    releaseOutputBuffers();
    releaseInputBuffers();
    setEnabled(false);
}

bool SysExBuffers::setSizes(uint16_t inputCount, uint16_t inputSize, uint16_t outputCount,
                            uint16_t outputSize) {
    const SysExBufferConfig wanted{config_.enabled, inputCount, inputSize, outputCount, outputSize};
    if (wanted == config_) {
        return true;
    }
    const SysExBufferConfig before = config_;
    const bool wasOn = config_.enabled;
    switchOff();
    config_ = wanted;
    config_.enabled = false;
    changed(before);
    if (wasOn && !switchOn()) {
        ui_.showWarning("Could not SetBuffer Sizes.");
        return false;
    }
    return true;
}

} // namespace corvex
