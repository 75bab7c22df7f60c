#include "mapping/output_sequence.h"

namespace cvx::mapping {

namespace {

constexpr uint8_t kDataMsbController = 6;
constexpr uint8_t kDataLsbController = 38;

uint32_t controlChange(uint8_t channel, uint8_t controller, uint8_t value) {
    return (0xB0u | channel) | uint32_t{controller} << 8 | uint32_t{value} << 16;
}

} // namespace

void startSequence(NrpnState& state, ParameterKind kind, uint8_t channel, int32_t parameter,
                   int32_t value) {
    channel &= 0x0F;
    OutputSequence& sequence = state.sequences[channel];
    sequence.paramMsb = static_cast<uint8_t>((parameter >> 7) & 0x7F);
    sequence.paramLsb = static_cast<uint8_t>(parameter & 0x7F);
    sequence.dataMsb = static_cast<uint8_t>((value >> 7) & 0x7F);
    sequence.dataLsb =
        (state.options & MAP_SEND_FULL_NRPN) ? static_cast<uint8_t>(value & 0x7F) : uint8_t{0};
    sequence.step = 0;
    sequence.flags = static_cast<uint8_t>(
        kSequencePending | (kind == ParameterKind::Rpn ? kSequenceRpn : kSequenceNrpn));
    state.sequenceChannel = channel;
}

uint32_t takeSequenceMessage(NrpnState& state, bool& more) {
    uint8_t channel = state.sequenceChannel & 0x0F;
    OutputSequence& sequence = state.sequences[channel];
    bool rpn = sequence.flags & kSequenceRpn;
    bool full = state.options & MAP_SEND_FULL_NRPN;
    bool lsbFirst = full && (state.options & MAP_REVERSE_DATA_ENTRY);
    uint8_t lastStep = full ? 3 : 2;
    uint8_t step = sequence.step < lastStep ? sequence.step : lastStep;

    uint32_t message;
    if (step == 0) {
        message = controlChange(channel, rpn ? 101 : 99, sequence.paramMsb);
    } else if (step == 1) {
        message = controlChange(channel, rpn ? 100 : 98, sequence.paramLsb);
    } else if ((step == 2) != lsbFirst) {
        message = controlChange(channel, kDataMsbController, sequence.dataMsb);
    } else {
        message = controlChange(channel, kDataLsbController, sequence.dataLsb);
    }

    more = step < lastStep;
    if (more) {
        sequence.step = static_cast<uint8_t>(step + 1);
    } else {
        sequence.flags = 0;
        sequence.step = 0;
    }
    return message;
}

} // namespace cvx::mapping
