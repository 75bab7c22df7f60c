#include "mapping/message_filter.h"

namespace cvx::mapping {

namespace {

bool controllerFiltered(const CFilter& filter, uint8_t controller) {
    controller &= 0x7F;
    return (filter.controllerFilter[controller / 8] >> (controller & 7)) & 1u;
}

uint32_t systemBit(uint8_t status) {
    switch (status) {
    case 0xF1:
        return CVX_SYSFILTER_F1;
    case 0xF2:
        return CVX_SYSFILTER_F2;
    case 0xF3:
        return CVX_SYSFILTER_F3;
    case 0xF6:
        return CVX_SYSFILTER_F6;
    case 0xF8:
        return CVX_SYSFILTER_F8;
    case 0xFA:
        return CVX_SYSFILTER_FA;
    case 0xFB:
        return CVX_SYSFILTER_FB;
    case 0xFC:
        return CVX_SYSFILTER_FC;
    case 0xFE:
        return CVX_SYSFILTER_FE;
    case 0xFF:
        return CVX_SYSFILTER_FF;
    default:
        return 0; // 0xF0, 0xF4, 0xF5, 0xF7, 0xF9, 0xFD are never filtered
    }
}

uint32_t channelKindBit(uint8_t status, uint8_t data2) {
    switch (status & 0xF0) {
    case 0x80:
        return CVX_FILTER_NOTE_OFF;
    case 0x90:
        return data2 == 0 ? CVX_FILTER_NOTE_OFF : CVX_FILTER_NOTE_ON;
    case 0xA0:
        return CVX_FILTER_KEY_AFTERTOUCH;
    case 0xC0:
        return CVX_FILTER_PROGRAM_CHANGE;
    case 0xD0:
        return CVX_FILTER_CHANNEL_AFTERTOUCH;
    default:
        return CVX_FILTER_PITCH_BEND;
    }
}

bool channelMessageFiltered(uint8_t status, uint8_t data1, uint8_t data2, const CFilter& filter) {
    uint32_t flags = filter.filterFlags;
    if ((flags >> (status & 0x0F)) & 1u) {
        return true;
    }
    if ((status & 0xF0) == 0xB0) {
        return (flags & CVX_FILTER_CONTROL_CHANGE) != 0 && controllerFiltered(filter, data1);
    }
    return (flags & channelKindBit(status, data2)) != 0;
}

} // namespace

bool isFiltered(uint32_t message, const CFilter& filter) {
    auto status = static_cast<uint8_t>(message);
    auto data1 = static_cast<uint8_t>(message >> 8);
    auto data2 = static_cast<uint8_t>(message >> 16);
    if (status < 0x80) {
        return false; // a data byte in the status position is not a message of any kind
    }
    if (status < 0xF0) {
        return channelMessageFiltered(status, data1, data2, filter);
    }
    return (filter.systemFilter & systemBit(status)) != 0;
}

} // namespace cvx::mapping
