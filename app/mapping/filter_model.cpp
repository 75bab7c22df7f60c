#include "mapping/filter_model.h"

#include <algorithm>
#include <cstring>

namespace corvex {

namespace {

constexpr FilterBit kMessageTypeBoxes[] = {
    {CVX_FILTER_NOTE_ON, "&Note On"},
    {CVX_FILTER_NOTE_OFF, "Note &Off"},
    {CVX_FILTER_KEY_AFTERTOUCH, "&Key Aftertouch"},
    {CVX_FILTER_PROGRAM_CHANGE, "&Program Change"},
    {CVX_FILTER_CHANNEL_AFTERTOUCH, "Channel &Aftertouch"},
    {CVX_FILTER_PITCH_BEND, "Pitch &Bend"},
};

constexpr FilterBit kSystemCommon[] = {
    {CVX_SYSFILTER_F1, "F1-MIDI Time Code Quarter Frame"},
    {CVX_SYSFILTER_F2, "F2-Song Position Pointer"},
    {CVX_SYSFILTER_F3, "F3-Song Select"},
    {CVX_SYSFILTER_F6, "F6-Tune Request"},
};

constexpr FilterBit kSystemRealtime[] = {
    {CVX_SYSFILTER_F8, "F8-Timing Clock"},   {CVX_SYSFILTER_FA, "FA-Start"},
    {CVX_SYSFILTER_FB, "FB-Continue"},       {CVX_SYSFILTER_FC, "FC-Stop"},
    {CVX_SYSFILTER_FE, "FE-Active Sensing"}, {CVX_SYSFILTER_FF, "FF-System Reset"},
};

struct ControllerName {
    int number;
    const char* name;
};

constexpr ControllerName kControllerNames[] = {
    {0, "Bank Select MSB"},
    {1, "Modulation"},
    {2, "Breath"},
    {4, "Foot controller"},
    {5, "Portamento time"},
    {6, "Data Entry MSB"},
    {7, "Volume"},
    {8, "Balance"},
    {10, "Pan"},
    {11, "Expression"},
    {32, "Bank Select LSB"},
    {38, "Data Entry LSB"},
    {64, "Pedal (sustain)"},
    {65, "Portamento"},
    {66, "Pedal (sostenuto)"},
    {67, "Pedal (soft)"},
    {69, "Hold 2"},
    {71, "Harmonic Content"},
    {72, "Release Time"},
    {73, "Attack Time"},
    {74, "Brightness"},
    {84, "Portamento Control"},
    {91, "Effect1 depth (Reverb)"},
    {92, "Tremolo depth"},
    {93, "Effect3 depth (Chorus)"},
    {94, "Celeste (detune) depth"},
    {95, "Phaser depth"},
    {96, "RPN Increment"},
    {97, "RPN Decrement"},
    {98, "NRPN LSB"},
    {99, "NRPN MSB"},
    {100, "RPN LSB"},
    {101, "RPN MSB"},
    {120, "All Sound Off"},
    {121, "Reset All Controllers"},
    {122, "Local Control"},
    {123, "All Notes Off"},
    {124, "OMNI Off"},
    {125, "OMNI On"},
    {126, "Mono"},
    {127, "Poly"},
};

constexpr uint32_t kTypeBoxMask = CVX_FILTER_NOTE_ON | CVX_FILTER_NOTE_OFF |
                                  CVX_FILTER_KEY_AFTERTOUCH | CVX_FILTER_PROGRAM_CHANGE |
                                  CVX_FILTER_CHANNEL_AFTERTOUCH | CVX_FILTER_PITCH_BEND;
constexpr uint32_t kActiveMask = (1u << 27) - 1;

constexpr uint32_t summaryBit(FilterGroup group) {
    switch (group) {
    case FilterGroup::Controllers:
        return CVX_FILTER_CONTROL_CHANGE;
    case FilterGroup::SystemCommon:
        return CVX_FILTER_SYSTEM_COMMON;
    case FilterGroup::SystemRealtime:
        return CVX_FILTER_SYSTEM_REALTIME;
    }
    return 0;
}

std::span<const FilterBit> systemEntries(FilterGroup group) {
    return group == FilterGroup::SystemCommon ? systemCommonEntries() : systemRealtimeEntries();
}

} // namespace

std::span<const FilterBit> filterMessageTypeBoxes() {
    return kMessageTypeBoxes;
}
std::span<const FilterBit> systemCommonEntries() {
    return kSystemCommon;
}
std::span<const FilterBit> systemRealtimeEntries() {
    return kSystemRealtime;
}

std::string controllerEntryName(int controller) {
    const auto* named =
        std::find_if(std::begin(kControllerNames), std::end(kControllerNames),
                     [controller](const ControllerName& c) { return c.number == controller; });
    std::string text = std::to_string(controller);
    if (named != std::end(kControllerNames)) {
        text += '-';
        text += named->name;
    }
    return text;
}

bool filterIsActive(const CFilter& filter) {
    return (filter.filterFlags & kActiveMask) != 0;
}

bool controllerFiltered(const CFilter& filter, int controller) {
    return (filter.controllerFilter[controller / 8] >> (controller % 8) & 1u) != 0;
}

void setControllerFiltered(CFilter& filter, int controller, bool on) {
    const auto bit = static_cast<uint8_t>(1u << (controller % 8));
    uint8_t& byte = filter.controllerFilter[controller / 8];
    byte = static_cast<uint8_t>(on ? byte | bit : byte & ~bit);
}

FilterEditor::FilterEditor(const CFilter& start) : copy_(start) {
    const uint32_t flags = start.filterFlags;
    boxes_ = flags & (kFilterChannelMask | kTypeBoxMask);
    for (FilterGroup group :
         {FilterGroup::Controllers, FilterGroup::SystemCommon, FilterGroup::SystemRealtime}) {
        groupBoxes_[static_cast<size_t>(group)] =
            (flags & summaryBit(group)) != 0 ? groupState(group) : BoxState::Unchecked;
    }
    dataToo_ = (flags & CVX_FILTER_DATA) != 0;
    rawMonitor_ = (flags & CVX_FILTER_RAW_MONITOR) != 0;
    displaySysEx_ = (flags & CVX_FILTER_NO_SYSEX_CHUNKS) == 0;
}

bool FilterEditor::channel(int index) const {
    return (boxes_ >> index & 1u) != 0;
}

void FilterEditor::setChannel(int index, bool on) {
    setMessageType(1u << index, on);
}

void FilterEditor::setAllChannels(bool on) {
    boxes_ = on ? boxes_ | kFilterChannelMask : boxes_ & ~kFilterChannelMask;
}

bool FilterEditor::messageType(uint32_t mask) const {
    return (boxes_ & mask) != 0;
}

void FilterEditor::setMessageType(uint32_t mask, bool on) {
    boxes_ = on ? boxes_ | mask : boxes_ & ~mask;
}

BoxState FilterEditor::box(FilterGroup group) const {
    return groupBoxes_[static_cast<size_t>(group)];
}

int FilterEditor::entryCount(FilterGroup group) const {
    return group == FilterGroup::Controllers ? 128 : static_cast<int>(systemEntries(group).size());
}

bool FilterEditor::entry(FilterGroup group, int index) const {
    if (group == FilterGroup::Controllers) {
        return controllerFiltered(copy_, index);
    }
    return (copy_.systemFilter & systemEntries(group)[static_cast<size_t>(index)].mask) != 0;
}

BoxState FilterEditor::groupState(FilterGroup group) const {
    int set = 0;
    const int count = entryCount(group);
    for (int index = 0; index < count; ++index) {
        set += entry(group, index) ? 1 : 0;
    }
    return set == 0 ? BoxState::Unchecked : (set == count ? BoxState::Checked : BoxState::Partial);
}

void FilterEditor::setEntries(FilterGroup group, std::span<const bool> selected) {
    const int count = std::min(entryCount(group), static_cast<int>(selected.size()));
    for (int index = 0; index < count; ++index) {
        const bool on = selected[static_cast<size_t>(index)];
        if (group == FilterGroup::Controllers) {
            setControllerFiltered(copy_, index, on);
        } else {
            const uint32_t mask = systemEntries(group)[static_cast<size_t>(index)].mask;
            copy_.systemFilter = on ? copy_.systemFilter | mask : copy_.systemFilter & ~mask;
        }
    }
    groupBoxes_[static_cast<size_t>(group)] = groupState(group);
}

bool FilterEditor::clickGroup(FilterGroup group) {
    const BoxState state = groupState(group);
    if (state == BoxState::Unchecked) {
        return true;
    }
    const bool all[128] = {};
    bool every[128];
    std::fill(std::begin(every), std::end(every), true);
    setEntries(group, state == BoxState::Checked ? std::span<const bool>(all)
                                                 : std::span<const bool>(every));
    return false;
}

CFilter FilterEditor::result() const {
    CFilter filter = copy_;
    uint32_t flags = boxes_;
    for (FilterGroup group :
         {FilterGroup::Controllers, FilterGroup::SystemCommon, FilterGroup::SystemRealtime}) {
        if (box(group) != BoxState::Unchecked) {
            flags |= summaryBit(group);
        }
    }
    flags |= dataToo_ ? CVX_FILTER_DATA : 0;
    flags |= rawMonitor_ ? CVX_FILTER_RAW_MONITOR : 0;
    flags |= displaySysEx_ ? 0 : CVX_FILTER_NO_SYSEX_CHUNKS;
    filter.filterFlags = flags;
    return filter;
}

} // namespace corvex
