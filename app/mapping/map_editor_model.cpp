#include "mapping/map_editor_model.h"

#include "mapping/hex_text.h"
#include "mapping/map_capacity.h"
#include "mapping/printf_text.h"

#include <algorithm>
#include <utility>

namespace corvex {

namespace {

constexpr uint16_t kAnyValue = 0xFFFF;
constexpr uint8_t kAnyChannel = 0xFF;
constexpr int kMaxDelay = 1023;

uint16_t* sourceFields(MapItem& item, int index) {
    uint16_t* fields[] = {&item.sourceV1Min, &item.sourceV1Max, &item.sourceV2Min,
                          &item.sourceV2Max};
    return fields[index];
}

uint16_t* targetFields(MapItem& item, int index) {
    uint16_t* fields[] = {&item.targetV1Min, &item.targetV1Max, &item.targetV2Min,
                          &item.targetV2Max};
    return fields[index];
}

bool isTransportType(uint8_t type) {
    return type == MAP_START || type == MAP_CONT || type == MAP_STOP;
}

bool producesNoValues(uint8_t type) {
    return type == MAP_SYSEX || type == MAP_DISCARD;
}

// A typed number into its field: negative means any, above the maximum is the maximum.
uint16_t clampValue(int typed, int maximum, bool& clamped) {
    if (typed < 0) {
        clamped = clamped || typed < -1;
        return kAnyValue;
    }
    if (typed > maximum) {
        clamped = true;
        return static_cast<uint16_t>(maximum);
    }
    return static_cast<uint16_t>(typed);
}

uint8_t channelOfForm(int channel) {
    return channel >= 1 && channel <= 16 ? static_cast<uint8_t>(channel - 1) : kAnyChannel;
}

int formOfChannel(uint8_t channel) {
    return channel == kAnyChannel ? 0 : channel + 1;
}

int formOfValue(uint16_t value) {
    return value == kAnyValue ? -1 : value;
}

} // namespace

MapEditorRow newMapRow() {
    MapEditorRow row;
    MapItem& item = row.item;
    item.sourceChannel = kAnyChannel;
    item.sourceMessage = MAP_ANY;
    item.targetChannel = kAnyChannel;
    item.targetMessage = MAP_ANY;
    for (int index = 0; index < 4; ++index) {
        *sourceFields(item, index) = kAnyValue;
        *targetFields(item, index) = kAnyValue;
    }
    return row;
}

MapEditor::MapEditor(const DataMap& map) {
    refill(map);
    selected_ = -1;
}

void MapEditor::refill(const DataMap& map) {
    rows_.clear();
    for (const MapRow& row : map.rows()) {
        rows_.push_back({row.item, formatHexText(row.sysex)});
        rows_.back().item.sysexOffset = 0;
    }
    options = map.options;
    isOn = map.isOn;
    keys = map.keys;
    if (selected_ >= static_cast<int>(rows_.size())) {
        selected_ = rows_.empty() ? -1 : 0;
    }
}

void MapEditor::select(int index) {
    selected_ = index >= 0 && index < static_cast<int>(rows_.size()) ? index : -1;
}

void MapEditor::insert(const MapEditorRow& row) {
    const int at = std::max(selected_, 0);
    rows_.insert(rows_.begin() + at, row);
    selected_ = at;
}

void MapEditor::replaceSelected(const MapEditorRow& row) {
    if (selected_ >= 0) {
        rows_[static_cast<size_t>(selected_)] = row;
    }
}

void MapEditor::removeSelected() {
    if (selected_ < 0) {
        return;
    }
    rows_.erase(rows_.begin() + selected_);
    selected_ = std::min(selected_, static_cast<int>(rows_.size()) - 1);
}

void MapEditor::copySelected() {
    if (selected_ >= 0) {
        clipboard_ = rows_[static_cast<size_t>(selected_)];
    }
}

void MapEditor::cutSelected() {
    copySelected();
    removeSelected();
}

void MapEditor::paste() {
    insert(clipboard_);
}

void MapEditor::moveUp() {
    if (selected_ > 0) {
        std::swap(rows_[static_cast<size_t>(selected_)], rows_[static_cast<size_t>(selected_ - 1)]);
        --selected_;
    }
}

void MapEditor::moveDown() {
    if (selected_ >= 0 && selected_ + 1 < static_cast<int>(rows_.size())) {
        std::swap(rows_[static_cast<size_t>(selected_)], rows_[static_cast<size_t>(selected_ + 1)]);
        ++selected_;
    }
}

void MapEditor::clear() {
    rows_.clear();
    selected_ = -1;
}

DataMap MapEditor::toMap() const {
    std::vector<MapRow> rows;
    rows.reserve(rows_.size());
    for (const MapEditorRow& row : rows_) {
        MapRow mapRow{row.item, {}};
        mapRow.item.sysexOffset = 0;
        if (row.item.targetMessage == MAP_SYSEX) {
            mapRow.sysex = parseHexText(row.sysexText, MAP_SYSEX_STRING_MAX).bytes;
        }
        rows.push_back(std::move(mapRow));
    }
    DataMap map;
    map.options = options;
    map.isOn = isOn;
    map.keys = keys;
    map.load(rows, false);
    return map;
}

std::string mapTooLargeMessage(const DataMap& map) {
    const size_t items = map.items().size();
    const size_t sysexLength = map.sysexLength();
    if (engineMapStorage(items, sysexLength) <= map_storage::kSize) {
        return {};
    }
    const size_t sysexBytes = sysexLength > MAP_SYSEX_POOL_HEADER ? sysexLength - 4 : 0;
    return printfText("The map has %zu items and %zu bytes of SysEx data. The engine's 64 KB map "
                      "storage takes at most %zu items with that SysEx data (%zu items without "
                      "SysEx data). The map that was running stays.",
                      items, sysexBytes, maxMapItems(sysexLength), kMaxMapItems);
}

ValueLabels valueLabels(uint8_t type) {
    switch (type) {
    case MAP_NOTE_OFF:
    case MAP_NOTE_ON:
        return {"Note #", "Velocity"};
    case MAP_KEY_AFT:
        return {"Note #", "Pressure"};
    case MAP_CTRL:
        return {"Ctrl #", "Amount"};
    case MAP_PROG_CHG:
        return {"Patch #", "Not Used"};
    case MAP_CHAN_AFT:
        return {"Pressure", "Not Used"};
    case MAP_PITCH_B:
        return {"Bend LSB", "Bend MSB"};
    case MAP_NRPN:
        return {"NRPN #", "Value"};
    case MAP_RPN:
        return {"RPN #", "Value"};
    case MAP_SPP:
        return {"SPP LSB", "SPP MSB"};
    case MAP_START:
    case MAP_CONT:
    case MAP_STOP:
        return {"Not Used", "Not Used"};
    default:
        return {"Value 1", "Value 2"};
    }
}

int valueMaximum(uint8_t type) {
    return type == MAP_NRPN || type == MAP_RPN ? 16383 : 127;
}

MapRowForm formOfRow(const MapEditorRow& row) {
    MapRowForm form;
    MapItem item = row.item;
    form.sourceChannel = formOfChannel(item.sourceChannel);
    form.sourceMessage = item.sourceMessage;
    form.targetChannel = formOfChannel(item.targetChannel);
    form.targetMessage = item.targetMessage;
    for (int index = 0; index < 4; ++index) {
        form.sourceValues[index] = formOfValue(*sourceFields(item, index));
        form.targetValues[index] = formOfValue(*targetFields(item, index));
    }
    form.clone = (item.itemFlags & MAPITEM_CLONE) != 0;
    form.pullValue1 = (item.itemFlags & MAPITEM_PULL_V1) != 0;
    form.pullValue2 = (item.itemFlags & MAPITEM_PULL_V2) != 0;
    form.delay = item.itemFlags >> MAPITEM_DELAY_SHIFT;
    form.sysexText = row.sysexText;
    return form;
}

FormReading rowOfForm(const MapRowForm& form) {
    FormReading reading;
    MapItem& item = reading.row.item;
    bool& clamped = reading.clamped;

    const uint8_t in = form.sourceMessage;
    item.sourceMessage = in;
    const bool inValuesOn = !isTransportType(in);
    item.sourceChannel =
        in == MAP_SPP || !inValuesOn ? kAnyChannel : channelOfForm(form.sourceChannel);
    const int inMaximum = valueMaximum(in);
    for (int index = 0; index < 4; ++index) {
        *sourceFields(item, index) =
            inValuesOn ? clampValue(form.sourceValues[index], inMaximum, clamped) : kAnyValue;
    }

    const uint8_t out = form.targetMessage;
    item.targetMessage = out;
    const bool outValuesOn = !isTransportType(out) && !producesNoValues(out);
    const bool outChannelOn = out != MAP_SPP && !isTransportType(out) && out != MAP_SYSEX;
    item.targetChannel = outChannelOn ? channelOfForm(form.targetChannel) : kAnyChannel;
    const int outMaximum = valueMaximum(out == MAP_ANY ? in : out);
    for (int index = 0; index < 4; ++index) {
        *targetFields(item, index) =
            outValuesOn ? clampValue(form.targetValues[index], outMaximum, clamped) : kAnyValue;
    }

    uint16_t flags = form.clone ? MAPITEM_CLONE : 0;
    if (outValuesOn) {
        flags |= form.pullValue1 ? MAPITEM_PULL_V1 : 0;
        flags |= form.pullValue2 ? MAPITEM_PULL_V2 : 0;
    }
    if (!producesNoValues(out)) {
        const int delay = std::clamp(form.delay, 0, kMaxDelay);
        clamped = clamped || delay != form.delay;
        flags |= static_cast<uint16_t>(delay << MAPITEM_DELAY_SHIFT);
    }
    item.itemFlags = flags;

    if (out == MAP_SYSEX) {
        reading.row.sysexText =
            formatHexText(parseHexText(form.sysexText, MAP_SYSEX_STRING_MAX).bytes);
    }
    return reading;
}

} // namespace corvex
