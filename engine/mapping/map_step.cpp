#include "mapping/map_step.h"

#include "mapping/item_match.h"
#include "mapping/item_transform.h"
#include "mapping/output_sequence.h"
#include "mapping/replay_list.h"
#include "mapping/sysex_pool.h"

#include <initializer_list>

namespace cvx::mapping {

namespace {

// How one kind of parameter sequence (NRPN or RPN) is recognised and matched.
struct ParameterBranch {
    ParameterKind kind;
    uint8_t sourceType;
    uint8_t selectMsb; // parameter-select controllers, always part of a sequence
    uint8_t selectLsb;
};

constexpr ParameterBranch kNrpnBranch{ParameterKind::Nrpn, MAP_NRPN, 99, 98};
constexpr ParameterBranch kRpnBranch{ParameterKind::Rpn, MAP_RPN, 101, 100};

bool isNeverMapped(uint8_t status) {
    return status == 0xF0 || status == 0xF1 || status == 0xF3 || status == 0xF7 || status == 0xF8 ||
           status == 0xFE;
}

uint32_t delayOf(const MapItem& item) {
    return item.itemFlags >> MAPITEM_DELAY_SHIFT;
}

uint32_t itemCount(const MapView& map) {
    return map.table == nullptr ? 0 : map.table->count;
}

// One past the last item the plain message can match; 0 when none can.
uint32_t plainCandidatesEnd(const MapView& map, const PlainKey& key) {
    if (map.table == nullptr || key.type == 0) {
        return 0;
    }
    uint32_t channelBit = key.checkChannel ? 1u << key.channel : 1u;
    return (map.table->plainChannels[key.type] & channelBit) != 0 ? map.table->plainEnd[key.type]
                                                                  : 0;
}

bool hasParameterItems(const MapView& map, const ParameterBranch& branch, uint8_t channel) {
    if (map.table == nullptr) {
        return false;
    }
    uint16_t mask =
        branch.kind == ParameterKind::Nrpn ? map.table->nrpnChannels : map.table->rpnChannels;
    return (mask >> channel) & 1u;
}

bool isDataMessage(const NrpnState& state, const NrpnRecord& record, const ParameterBranch& branch,
                   uint8_t controller) {
    bool parameterComplete = record.flags & kParamComplete;
    if (controller == branch.selectMsb || controller == branch.selectLsb) {
        return true;
    }
    switch (controller) {
    case 6:
        return parameterComplete;
    case 38:
        return (state.options & MAP_WAIT_FOR_FULL_NRPN) && parameterComplete;
    case 96:
    case 97:
        return (state.options & MAP_NRPN_DATA_INCR) && parameterComplete &&
               (record.flags & kDataComplete);
    default:
        return false;
    }
}

// Sends the item's SysEx string with its placeholders filled from `work`. False when the
// item names no valid string.
bool sendSysEx(const MapItem& item, const MapView& map, const EVENT& work, const SysExSink& sink) {
    if (item.sysexOffset == 0) {
        return false;
    }
    SysExString entry = poolEntry(map.sysex, item.sysexOffset);
    if (entry.bytes == nullptr) {
        return false;
    }
    uint8_t buffer[MAP_SYSEX_STRING_MAX];
    for (uint16_t i = 0; i < entry.length; ++i) {
        buffer[i] = entry.bytes[i];
    }
    substitutePlaceholders(buffer, entry.length, static_cast<uint8_t>(work.message >> 8),
                           static_cast<uint8_t>(work.message >> 16),
                           static_cast<uint8_t>(work.message & 0x0F));
    if (sink.send != nullptr) {
        sink.send(sink.context, buffer, entry.length, work.port);
    }
    return true;
}

// Produces the target of an item that matched an assembled NRPN/RPN event.
void produceFromParameter(const MapItem& item, const ParameterBranch& branch,
                          const NrpnRecord& record, const MapView& map, const EVENT& work,
                          NrpnState& nrpn, MapStepState& step, const SysExSink& sink) {
    uint8_t channel = work.message & 0x0F;
    int32_t parameter = parameterOf(record);
    int32_t value = valueOf(record);
    switch (item.targetMessage) {
    case MAP_NRPN:
    case MAP_RPN:
    case MAP_ANY: {
        ParameterKind kind = item.targetMessage == MAP_ANY   ? branch.kind
                             : item.targetMessage == MAP_RPN ? ParameterKind::Rpn
                                                             : ParameterKind::Nrpn;
        ParameterValue out = parameterToParameter(item, parameter, value);
        startSequence(nrpn, kind, targetChannel(item, channel), out.parameter, out.value);
        step.sequencePending = true;
        break;
    }
    case MAP_SYSEX:
        sendSysEx(item, map, work, sink);
        break;
    case MAP_DISCARD:
        break;
    default:
        nrpn.slot = parameterToMessage(item, channel, parameter, value, work.message);
        pushReplay(nrpn, nrpn.slot);
        break;
    }
}

void runParameterBranch(const ParameterBranch& branch, NrpnRecord& record, const EVENT& work,
                        const MapView& map, NrpnState& nrpn, MapStepState& step,
                        const SysExSink& sink) {
    step.suppress = true;
    clearReplay(nrpn);
    if (branch.kind == ParameterKind::Rpn && step.track == TrackResult::NullParameter) {
        // A deselected parameter carries no value for an item to take: pass it on.
        releaseHeld(nrpn, record);
        step.replayPending = replayRemaining(nrpn);
        return;
    }
    if (!(record.flags & kDataComplete)) {
        return; // held until the value is complete
    }
    uint8_t channel = work.message & 0x0F;
    const MapItem* items = itemsOf(map.table);
    uint32_t count = itemCount(map);
    uint32_t index = step.resumeIndex;
    while (index < count && !((record.flags & kParamComplete) &&
                              parameterItemMatches(items[index], branch.sourceType, channel,
                                                   parameterOf(record), valueOf(record)))) {
        ++index;
    }
    if (index >= count) {
        releaseHeld(nrpn, record);
        step.replayPending = replayRemaining(nrpn);
        return;
    }
    const MapItem& item = items[index];
    produceFromParameter(item, branch, record, map, work, nrpn, step, sink);
    step.delay = delayOf(item);
    if (item.itemFlags & MAPITEM_CLONE) {
        // The held controllers stay: if no later item takes them they pass on as well.
        step.clone = true;
        step.resumeIndex = index + 1;
    } else {
        record.heldCount = 0;
    }
    step.replayPending = replayRemaining(nrpn);
}

void runPlainBranch(EVENT& work, const MapView& map, NrpnState& nrpn, MapStepState& step,
                    const SysExSink& sink) {
    auto status = static_cast<uint8_t>(work.message);
    PlainKey key = plainKeyOf(work.message);
    const MapItem* items = itemCount(map) == 0 ? nullptr : itemsOf(map.table);
    uint32_t end = plainCandidatesEnd(map, key);
    uint32_t index = step.resumeIndex;
    while (index < end && !plainItemMatches(items[index], key)) {
        ++index;
    }
    if (index >= end) {
        step.resumeIndex = itemCount(map);
        return;
    }
    const MapItem& item = items[index];
    switch (item.targetMessage) {
    case MAP_NRPN:
    case MAP_RPN: {
        ParameterValue out = plainToParameter(item, work.message);
        startSequence(nrpn,
                      item.targetMessage == MAP_RPN ? ParameterKind::Rpn : ParameterKind::Nrpn,
                      targetChannel(item, status & 0x0F), out.parameter, out.value);
        step.sequencePending = true;
        step.suppress = true;
        break;
    }
    case MAP_SYSEX:
        step.suppress = sendSysEx(item, map, work, sink);
        break;
    case MAP_DISCARD:
        step.suppress = true;
        break;
    default:
        work.message = transformPlain(item, work.message);
        break;
    }
    step.clone = item.itemFlags & MAPITEM_CLONE;
    step.delay = delayOf(item);
    step.resumeIndex = index + 1;
}

// Runs the NRPN or RPN branch when the controller belongs to one; false otherwise.
bool runParameterBranches(const EVENT& work, const MapView& map, NrpnState& nrpn,
                          MapStepState& step, const SysExSink& sink) {
    auto status = static_cast<uint8_t>(work.message);
    if ((status & 0xF0) != 0xB0) {
        return false;
    }
    uint8_t channel = status & 0x0F;
    auto controller = static_cast<uint8_t>(work.message >> 8);
    for (const ParameterBranch* branch : {&kNrpnBranch, &kRpnBranch}) {
        NrpnRecord& record =
            branch->kind == ParameterKind::Nrpn ? nrpn.nrpn[channel] : nrpn.rpn[channel];
        if (isDataMessage(nrpn, record, *branch, controller) &&
            hasParameterItems(map, *branch, channel)) {
            runParameterBranch(*branch, record, work, map, nrpn, step, sink);
            return true;
        }
    }
    return false;
}

} // namespace

void runMapStep(EVENT& work, const MapView& map, NrpnState& nrpn, MapStepState& step,
                const SysExSink& sink) {
    step.suppress = false;
    step.clone = false;
    step.delay = 0;
    if (isNeverMapped(static_cast<uint8_t>(work.message))) {
        return;
    }
    if (!step.tracked) {
        step.tracked = true;
        step.track = trackController(nrpn, work.message);
    }
    if (!runParameterBranches(work, map, nrpn, step, sink)) {
        runPlainBranch(work, map, nrpn, step, sink);
    }
}

} // namespace cvx::mapping
