#include "mapping/nrpn_tracker.h"

#include "mapping/midi_values.h"

namespace cvx::mapping {

namespace {

constexpr uint8_t kNullParameterByte = 127;

// Appends a raw controller to the held list; a list already at `limit` entries is cut back
// to `limit` with its last entry overwritten (a repeated selection replaces the previous).
void hold(NrpnRecord& record, uint32_t message, uint8_t limit) {
    if (record.heldCount < limit) {
        record.held[record.heldCount++] = message;
        return;
    }
    record.held[limit - 1] = message;
    record.heldCount = limit;
}

// Puts both records of a channel into NRPN or RPN mode. Selecting one kind invalidates the
// other kind's parameter.
void enterMode(NrpnRecord& active, NrpnRecord& other, uint8_t mode) {
    constexpr uint8_t kModes = kNrpnMode | kRpnMode;
    active.flags = static_cast<uint8_t>((active.flags & ~kModes) | mode);
    other.flags = static_cast<uint8_t>((other.flags & ~(kModes | kParamComplete)) | mode);
}

void selectParameterMsb(NrpnRecord& record, uint8_t value, uint32_t message) {
    record.paramMsb = value;
    record.paramLsb = 0;
    record.received = kParamMsbReceived;
    record.held[0] = message;
    record.heldCount = 1;
    record.flags &= static_cast<uint8_t>(~(kParamComplete | kDataComplete));
}

void selectParameterLsb(NrpnRecord& record, uint8_t value, uint32_t message) {
    record.paramLsb = value;
    record.received = static_cast<uint8_t>(
        (record.received & ~(kDataMsbReceived | kDataLsbReceived)) | kParamLsbReceived);
    if (record.received & kParamMsbReceived) {
        record.flags |= kParamComplete;
    }
    hold(record, message, 2);
    record.flags &= static_cast<uint8_t>(~kDataComplete);
}

// CC 100 = 127 after CC 101 = 127 deselects the registered parameter: both records are
// cleared, and the two selecting controllers stay held so that they can be passed on.
TrackResult clearForNullParameter(NrpnRecord& rpn, NrpnRecord& nrpn, uint32_t message) {
    NrpnRecord cleared{};
    for (uint8_t i = 0; i < rpn.heldCount && i < kHeldCapacity; ++i) {
        cleared.held[i] = rpn.held[i];
    }
    cleared.heldCount = rpn.heldCount < kHeldCapacity ? rpn.heldCount : kHeldCapacity;
    hold(cleared, message, kHeldCapacity);
    rpn = cleared;
    nrpn = NrpnRecord{};
    return TrackResult::NullParameter;
}

bool isNullParameter(const NrpnRecord& rpn, uint8_t lsb) {
    return lsb == kNullParameterByte && (rpn.received & kParamMsbReceived) &&
           rpn.paramMsb == kNullParameterByte && rpn.heldCount > 0;
}

// The record of the current mode, or nullptr when the channel is in neither.
NrpnRecord* currentRecord(NrpnState& state, int channel) {
    if (state.nrpn[channel].flags & kNrpnMode) {
        return &state.nrpn[channel];
    }
    if (state.rpn[channel].flags & kRpnMode) {
        return &state.rpn[channel];
    }
    return nullptr;
}

void enterDataMsb(NrpnRecord& record, uint8_t value, uint32_t message, bool waitForLsb) {
    record.dataMsb = value;
    record.dataLsb = 0;
    record.received =
        static_cast<uint8_t>((record.received & ~kDataLsbReceived) | kDataMsbReceived);
    record.flags &= static_cast<uint8_t>(~kDataComplete);
    hold(record, message, 3);
    if (!waitForLsb) {
        record.flags |= kDataComplete;
    }
}

void enterDataLsb(NrpnRecord& record, uint8_t value, uint32_t message) {
    record.dataLsb = value;
    record.received |= kDataLsbReceived;
    hold(record, message, 4);
    record.flags |= kDataComplete;
}

// Increments or decrements a completed data value: all 14 bits with carry when the map waits
// for full values, else the MSB alone; both wrap.
void stepData(NrpnRecord& record, int delta, bool fourteenBit, uint32_t message) {
    if (!(record.flags & kParamComplete) || !(record.flags & kDataComplete)) {
        return;
    }
    if (fourteenBit) {
        int value = (valueOf(record) + delta) & kMax14Bit;
        record.dataMsb = static_cast<uint8_t>(value >> 7);
        record.dataLsb = static_cast<uint8_t>(value & 0x7F);
    } else {
        record.dataMsb = static_cast<uint8_t>((record.dataMsb + delta) & 0x7F);
    }
    record.flags |= kDataComplete;
    hold(record, message, kHeldCapacity);
}

TrackResult trackDataEntry(NrpnState& state, int channel, uint8_t controller, uint8_t value,
                           uint32_t message) {
    bool waitForFull = state.options & MAP_WAIT_FOR_FULL_NRPN;
    bool increments = state.options & MAP_NRPN_DATA_INCR;
    if ((controller == 38 && !waitForFull) ||
        ((controller == 96 || controller == 97) && !increments)) {
        return TrackResult::NotSequence;
    }
    NrpnRecord* record = currentRecord(state, channel);
    if (record == nullptr) {
        return TrackResult::NotSequence;
    }
    if (controller == 6) {
        enterDataMsb(*record, value, message, waitForFull);
    } else if (controller == 38) {
        enterDataLsb(*record, value, message);
    } else {
        stepData(*record, controller == 96 ? 1 : -1, waitForFull, message);
    }
    return TrackResult::Sequence;
}

} // namespace

TrackResult trackController(NrpnState& state, uint32_t message) {
    if ((message & 0xF0) != 0xB0) {
        return TrackResult::NotSequence;
    }
    int channel = message & 0x0F;
    auto controller = static_cast<uint8_t>(message >> 8);
    auto value = static_cast<uint8_t>((message >> 16) & 0x7F);
    NrpnRecord& nrpn = state.nrpn[channel];
    NrpnRecord& rpn = state.rpn[channel];
    switch (controller) {
    case 99:
        selectParameterMsb(nrpn, value, message);
        enterMode(nrpn, rpn, kNrpnMode);
        return TrackResult::Sequence;
    case 98:
        selectParameterLsb(nrpn, value, message);
        enterMode(nrpn, rpn, kNrpnMode);
        return TrackResult::Sequence;
    case 101:
        selectParameterMsb(rpn, value, message);
        enterMode(rpn, nrpn, kRpnMode);
        return TrackResult::Sequence;
    case 100:
        if (isNullParameter(rpn, value)) {
            return clearForNullParameter(rpn, nrpn, message);
        }
        selectParameterLsb(rpn, value, message);
        enterMode(rpn, nrpn, kRpnMode);
        return TrackResult::Sequence;
    case 6:
    case 38:
    case 96:
    case 97:
        return trackDataEntry(state, channel, controller, value, message);
    default:
        return TrackResult::NotSequence;
    }
}

} // namespace cvx::mapping
