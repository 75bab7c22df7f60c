#include "views/channel_status.h"

namespace corvex {

ChannelStatus::ChannelStatus() {
    clear();
}

void ChannelStatus::clear() {
    for (auto& channel : values_) {
        channel.fill(-1);
    }
    pending_.fill(Pending{});
    patchSeen_.reset();
}

void ChannelStatus::assign(const StatusValues& values) {
    values_ = values;
    pending_.fill(Pending{});
    patchSeen_.reset();
}

bool ChannelStatus::set(unsigned channel, unsigned item, int value) {
    int16_t& stored = values_[channel][item];
    if (stored == value) {
        return false;
    }
    stored = static_cast<int16_t>(value);
    return true;
}

bool ChannelStatus::update(uint32_t message) {
    patchSeen_.reset();
    const unsigned status = message & 0xFF;
    const unsigned channel = status & 0x0F;
    const unsigned data1 = (message >> 8) & 0x7F;
    const unsigned data2 = (message >> 16) & 0x7F;
    switch (status & 0xF0) {
    case 0xB0:
        return controlChange(channel, data1, data2);
    case 0xC0:
        return programChange(channel, data1);
    case 0xD0:
        return set(channel, kItemChannelAftertouch, static_cast<int>(data1));
    case 0xE0:
        return set(channel, kItemBend, static_cast<int>(data2 * 128 + data1));
    default:
        return false;
    }
}

bool ChannelStatus::controlChange(unsigned channel, unsigned controller, unsigned value) {
    bool changed = set(channel, statusItemOfController(controller), static_cast<int>(value));
    Pending& p = pending_[channel];
    const int v = static_cast<int>(value);
    switch (controller) {
    case 0:
        p.bankMsb = v;
        p.bankMsbSeen = true;
        break;
    case 32:
        p.bankLsb = v;
        p.bankLsbSeen = true;
        break;
    case 100:
    case 101:
        (controller == 100 ? p.rpnLsb : p.rpnMsb) = v;
        if (p.rpnLsb >= 0 && p.rpnMsb >= 0) {
            p.current = Parameter::Rpn;
        }
        break;
    case 98:
    case 99:
        (controller == 98 ? p.nrpnLsb : p.nrpnMsb) = v;
        if (p.nrpnLsb >= 0 && p.nrpnMsb >= 0) {
            if (p.current != Parameter::Nrpn) {
                p.dataMsb = p.dataLsb = -1; // a new parameter starts without data
            }
            p.current = Parameter::Nrpn;
            changed |= set(channel, kItemNrpn, p.nrpnMsb * 128 + p.nrpnLsb);
        }
        break;
    case 6:
        p.dataMsb = v;
        changed |= dataEntry(channel);
        break;
    case 38:
        p.dataLsb = v;
        changed |= dataEntry(channel);
        break;
    default:
        break;
    }
    return changed;
}

bool ChannelStatus::dataEntry(unsigned channel) {
    const Pending& p = pending_[channel];
    if (p.current == Parameter::Rpn && p.rpnMsb == 0 && p.rpnLsb == 0 && p.dataMsb >= 0) {
        return set(channel, kItemBendRange, p.dataMsb);
    }
    if (p.current == Parameter::Nrpn && (p.dataMsb >= 0 || p.dataLsb >= 0)) {
        // A lone half counts the other as 0.
        return set(channel, kItemNrpnValue,
                   (p.dataMsb < 0 ? 0 : p.dataMsb) * 128 + (p.dataLsb < 0 ? 0 : p.dataLsb));
    }
    return false;
}

bool ChannelStatus::programChange(unsigned channel, unsigned program) {
    bool changed = set(channel, kItemPatch, static_cast<int>(program));
    Pending& p = pending_[channel];
    if (p.bankMsbSeen || p.bankLsbSeen) {
        int bank = p.bankMsbSeen ? p.bankMsb : p.bankLsb;
        if (p.bankMsbSeen && p.bankLsbSeen) {
            bank = p.bankMsb * 128 + p.bankLsb;
        }
        changed |= set(channel, kItemBank, bank);
    }
    const int bank = values_[channel][kItemBank];
    patchSeen_ = PatchSeen{channel, program, bank < 0 ? 0u : static_cast<unsigned>(bank),
                           (p.bankMsbSeen ? 2u : 0u) | (p.bankLsbSeen ? 1u : 0u)};
    p.bankMsbSeen = p.bankLsbSeen = false;
    return changed;
}

} // namespace corvex
