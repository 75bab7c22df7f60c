#include "views/snapshot_messages.h"

#include <algorithm>

namespace corvex {

namespace {

class Builder {
public:
    Builder(const std::array<int16_t, kStatusItems>& values, unsigned channel,
            std::vector<uint32_t>& out)
        : values_(values), channel_(channel), out_(out) {}

    bool has(uint16_t item) const { return values_[item] >= 0; }
    int value(uint16_t item) const { return std::min<int>(values_[item], statusItemMaximum(item)); }
    void send(unsigned status, int data1, int data2 = 0) {
        out_.push_back((status | channel_) | static_cast<uint32_t>(data1 & 0x7F) << 8 |
                       static_cast<uint32_t>(data2 & 0x7F) << 16);
    }
    void cc(int controller, int v) { send(0xB0, controller, v); }

private:
    const std::array<int16_t, kStatusItems>& values_;
    unsigned channel_;
    std::vector<uint32_t>& out_;
};

// The extra item whose sending covers a paired controller.
uint16_t coveringItem(int controller) {
    switch (controller) {
    case 0:
    case 32:
        return kItemBank;
    case 100:
    case 101:
        return kItemBendRange;
    default:
        return kItemNrpn; // 98, 99 and data entry 6, 38
    }
}

void sendExtra(Builder& b, uint16_t item) {
    const int v = b.value(item);
    switch (item) {
    case kItemBank:
        if (b.has(kItemPatch)) {
            b.cc(0, v >> 7);
            b.cc(32, v & 0x7F);
        }
        break;
    case kItemPatch:
        b.send(0xC0, v);
        break;
    case kItemBend:
        b.send(0xE0, v & 0x7F, v >> 7);
        break;
    case kItemNrpn:
        b.cc(99, v >> 7);
        b.cc(98, v & 0x7F);
        break;
    case kItemNrpnValue:
        b.cc(6, v >> 7);
        if ((v & 0x7F) > 0) {
            b.cc(38, v & 0x7F);
        }
        break;
    case kItemBendRange:
        b.cc(101, 0);
        b.cc(100, 0);
        b.cc(6, v);
        break;
    case kItemChannelAftertouch:
        b.send(0xD0, v);
        break;
    default:
        break;
    }
}

} // namespace

std::vector<uint32_t> snapshotMessages(const StatusValues& values, const SnapshotOptions& options) {
    std::vector<uint32_t> out;
    const auto& items = statusItems();
    for (unsigned channel = 0; channel < kStatusChannels; ++channel) {
        Builder b(values[channel], channel, out);
        for (uint16_t id = 1; id < kStatusItems; ++id) {
            if (!b.has(id)) {
                continue;
            }
            const StatusItem& item = items[id];
            switch (item.kind) {
            case StatusItemKind::Controller:
                if (options.controllers) {
                    b.cc(item.controller, b.value(id));
                }
                break;
            case StatusItemKind::PairedController:
                if (options.controllers &&
                    !(options.extra && b.has(coveringItem(item.controller)))) {
                    b.cc(item.controller, b.value(id));
                }
                break;
            case StatusItemKind::Extra:
                if (options.extra) {
                    sendExtra(b, id);
                }
                break;
            case StatusItemKind::ChannelMode:
                if (options.channelMode) {
                    b.cc(item.controller, b.value(id));
                }
                break;
            case StatusItemKind::None:
                break;
            }
        }
    }
    return out;
}

} // namespace corvex
