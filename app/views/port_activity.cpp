#include "views/port_activity.h"

#include <cstdio>

namespace corvex {
namespace {

// Wrap-safe: whether `time` lies before `limit` on the 32-bit millisecond clock.
bool before(uint32_t time, uint32_t limit) {
    return static_cast<int32_t>(time - limit) < 0;
}

std::string portRowText(const ActivityPort& port) {
    char number[16];
    std::snprintf(number, sizeof number, "%2.2d) ", port.device + 1);
    return number + port.name;
}

} // namespace

std::vector<std::string> lampCaptions() {
    std::vector<std::string> captions;
    for (int channel = 1; channel <= 16; ++channel) {
        char text[4];
        std::snprintf(text, sizeof text, "%2d", channel);
        captions.emplace_back(text);
    }
    captions.insert(captions.end(), {"CM", "RT", "SX"});
    return captions;
}

void PortActivity::setPorts(const std::vector<ActivityPort>& inputs,
                            const std::vector<ActivityPort>& outputs) {
    using Kind = ActivityRow::Kind;
    rows_.clear();
    rows_.push_back({Kind::Title, "Input Ports"});
    for (const auto& port : inputs) {
        rows_.push_back({Kind::Input, portRowText(port), port.device});
    }
    rows_.push_back({Kind::Input, "      Corvex Generated Event", kGeneratedEventPort});
    rows_.push_back({Kind::Title, "Output Ports"});
    for (const auto& port : outputs) {
        rows_.push_back({Kind::Output, portRowText(port), port.device});
    }
    lamps_.assign(rows_.size(), Lamps{});
}

std::vector<LampChange> PortActivity::update(const CPortStatus& status, uint32_t now) {
    std::vector<LampChange> changes;
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        const ActivityRow& port = rows_[row];
        if (port.device < 0 || port.device > kGeneratedEventPort) {
            continue;
        }
        if (port.kind == ActivityRow::Kind::Input) {
            updateRow(row, status.inputTimes[port.device], status.inputClasses[port.device], now,
                      changes);
        } else {
            const COutputStatus& output = status.outputs[port.device];
            updateRow(row, output.lastTime, output.statusBits, now, changes);
        }
    }
    return changes;
}

void PortActivity::updateRow(int row, uint32_t time, uint32_t bits, uint32_t now,
                             std::vector<LampChange>& changes) {
    // A time of 0 is a port that never carried anything (the engine zero-fills).
    const bool recent = time != 0 && !before(now, time) && before(now, time + kLampOnMs);
    for (int lamp = 0; lamp < kLampCount; ++lamp) {
        Lamp& state = lamps_[row][lamp];
        const bool carried = lamp == kAnyTrafficLamp || (bits >> (lamp - 1) & 1u) != 0;
        if (recent && carried) {
            // Fresh traffic keeps a lit lamp lit: the off time follows the latest event.
            state.offTime = time + kLampOnMs;
            if (!state.on) {
                state.on = true;
                changes.push_back({row, lamp, true});
            }
        } else if (state.on && !before(now, state.offTime)) {
            state.on = false;
            changes.push_back({row, lamp, false});
        }
    }
}

} // namespace corvex
