#include "sequencer/channel_state.h"

#include <algorithm>

namespace corvex {
namespace {

constexpr uint8_t kBankMsb = 0;
constexpr uint8_t kBankLsb = 32;
constexpr uint8_t kDataMsb = 6;
constexpr uint8_t kDataLsb = 38;
constexpr uint8_t kNrpnLsb = 98;
constexpr uint8_t kNrpnMsb = 99;
constexpr uint8_t kRpnLsb = 100;
constexpr uint8_t kRpnMsb = 101;
constexpr uint8_t kResetAllControllers = 121;
constexpr uint8_t kBendCentreMsb = 0x40;

// What a controller is after power-on or a General MIDI reset.
uint8_t defaultValue(uint8_t controller) {
    switch (controller) {
    case 7: // volume
        return 100;
    case 8:  // balance
    case 10: // pan
        return 64;
    case 11: // expression
        return 127;
    case 91: // reverb send
        return 40;
    default:
        return 0;
    }
}

} // namespace

ChannelState::Channel::Channel() {
    controller.fill(kUnset);
    for (auto& value : registered) {
        value.fill(kUnset);
    }
}

bool ChannelState::Channel::anySet() const {
    return bend != kUnset || pressure != kUnset ||
           std::any_of(controller.begin(), controller.end(),
                       [](int16_t value) { return value != kUnset; });
}

bool ChannelState::isParameterController(uint8_t number) {
    return number == kDataMsb || number == kDataLsb || (number >= 96 && number <= kRpnMsb);
}

void ChannelState::observe(std::span<const uint8_t> message) {
    if (message.size() < 2 || message[0] < 0x80 || message[0] >= 0xF0) {
        return;
    }
    Channel& channel = channels_[message[0] & 0x0F];
    switch (message[0] & 0xF0) {
    case 0xB0:
        if (message.size() == 3) {
            controlChange(channel, message[1], message[2]);
        }
        break;
    case 0xC0:
        channel.program = message[1];
        break;
    case 0xD0:
        channel.pressure = message[1];
        channel.pressureTouched = true;
        break;
    case 0xE0:
        if (message.size() == 3) {
            channel.bend = message[1] | message[2] << 7;
            channel.bendTouched = true;
        }
        break;
    default:
        break;
    }
}

void ChannelState::controlChange(Channel& channel, uint8_t number, uint8_t value) {
    if (number >= 120) {
        if (number == 121) { // Reset All Controllers
            channel.controller.fill(kUnset);
            channel.bend = kUnset;
            channel.pressure = kUnset;
        }
        return;
    }
    if (number == kRpnMsb || number == kNrpnMsb) {
        channel.selectedIsRegistered = number == kRpnMsb;
        channel.selectMsb = value;
    } else if (number == kRpnLsb || number == kNrpnLsb) {
        channel.selectedIsRegistered = number == kRpnLsb;
        channel.selectLsb = value;
    } else if (number == kDataMsb || number == kDataLsb) {
        bool chased = channel.selectedIsRegistered && channel.selectMsb == 0 &&
                      channel.selectLsb >= 0 && channel.selectLsb < kChasedRegisteredParameters;
        if (chased) {
            channel.registered[channel.selectLsb][number == kDataMsb ? 0 : 1] = value;
        }
    } else if (!isParameterController(number)) {
        channel.controller[number] = value;
        channel.touched.set(number);
    }
}

void ChannelState::appendChannel(std::vector<ShortMessage>& out, uint8_t index,
                                 const Channel& channel) {
    uint8_t control = static_cast<uint8_t>(0xB0 | index);
    auto controllerIfSet = [&](uint8_t number) {
        if (channel.controller[number] != kUnset) {
            out.push_back({control, number, static_cast<uint8_t>(channel.controller[number])});
        }
    };
    controllerIfSet(kBankMsb);
    controllerIfSet(kBankLsb);
    if (channel.program != kUnset) {
        out.push_back(
            {static_cast<uint8_t>(0xC0 | index), static_cast<uint8_t>(channel.program), 0});
    }
    for (uint8_t number = 0; number < 120; ++number) {
        if (number != kBankMsb && number != kBankLsb) {
            controllerIfSet(number);
        }
    }
    bool anyParameter = false;
    for (uint8_t parameter = 0; parameter < kChasedRegisteredParameters; ++parameter) {
        const auto& data = channel.registered[parameter];
        if (data[0] == kUnset && data[1] == kUnset) {
            continue;
        }
        anyParameter = true;
        out.push_back({control, kRpnMsb, 0});
        out.push_back({control, kRpnLsb, parameter});
        if (data[0] != kUnset) {
            out.push_back({control, kDataMsb, static_cast<uint8_t>(data[0])});
        }
        if (data[1] != kUnset) {
            out.push_back({control, kDataLsb, static_cast<uint8_t>(data[1])});
        }
    }
    if (channel.selectMsb != kUnset || channel.selectLsb != kUnset || anyParameter) {
        uint8_t msb = channel.selectedIsRegistered ? kRpnMsb : kNrpnMsb;
        uint8_t lsb = channel.selectedIsRegistered ? kRpnLsb : kNrpnLsb;
        auto orNull = [](int16_t value) {
            return static_cast<uint8_t>(value == kUnset ? 127 : value);
        };
        out.push_back({control, msb, orNull(channel.selectMsb)});
        out.push_back({control, lsb, orNull(channel.selectLsb)});
    }
    if (channel.bend != kUnset) {
        out.push_back({static_cast<uint8_t>(0xE0 | index),
                       static_cast<uint8_t>(channel.bend & 0x7F),
                       static_cast<uint8_t>(channel.bend >> 7)});
    }
    if (channel.pressure != kUnset) {
        out.push_back(
            {static_cast<uint8_t>(0xD0 | index), static_cast<uint8_t>(channel.pressure), 0});
    }
}

void ChannelState::appendReset(std::vector<ShortMessage>& out, uint8_t index, const Channel& here,
                               const Channel& whole) {
    if (whole.touched.none() && !whole.bendTouched && !whole.pressureTouched) {
        return;
    }
    const auto control = static_cast<uint8_t>(0xB0 | index);
    if (!here.anySet()) {
        out.push_back({control, kResetAllControllers, 0});
    }
    for (uint8_t number = 0; number < 120; ++number) {
        if (whole.touched.test(number) && here.controller[number] == kUnset) {
            out.push_back({control, number, defaultValue(number)});
        }
    }
    if (whole.bendTouched && here.bend == kUnset) {
        out.push_back({static_cast<uint8_t>(0xE0 | index), 0, kBendCentreMsb});
    }
    if (whole.pressureTouched && here.pressure == kUnset) {
        out.push_back({static_cast<uint8_t>(0xD0 | index), 0, 0});
    }
}

std::vector<ShortMessage> ChannelState::resetMessages(const ChannelState& wholeFile) const {
    std::vector<ShortMessage> out;
    for (uint8_t index = 0; index < 16; ++index) {
        appendReset(out, index, channels_[index], wholeFile.channels_[index]);
    }
    return out;
}

std::vector<ShortMessage> ChannelState::chaseMessages() const {
    std::vector<ShortMessage> out;
    for (uint8_t index = 0; index < 16; ++index) {
        appendChannel(out, index, channels_[index]);
    }
    return out;
}

} // namespace corvex
