#include "mapping/map_row_display.h"

#include "mapping/map_message_types.h"
#include "mapping/printf_text.h"

#include <algorithm>

namespace corvex {

namespace {

constexpr uint16_t kAnyBound = 0xFFFF;
constexpr uint8_t kAnyByte = 0xFF;

// Gaps of one character between columns and two between the input and the output side.
constexpr std::array<MapRowColumnLayout, kMapRowColumns> kColumns{{
    {0, 4, true, "", 0, "Chan"},
    {5, 7, false, "", 0, "Message"},
    {13, 4, true, "Value 1", 9, "Min"},
    {18, 4, true, "", 0, "Max"},
    {23, 4, true, "Value 2", 9, "Min"},
    {28, 4, true, "", 0, "Max"},
    {33, 5, false, "", 0, "Clone"},
    {39, 5, true, "", 0, "Delay"},
    {46, 4, true, "", 0, "Chan"},
    {51, 7, false, "", 0, "Message"},
    {59, 9, true, "", 0, "Value 1"},
    {69, 9, true, "", 0, "Value 2"},
}};

MapRowCell wildcard(MapCellColour colour = MapCellColour::Plain) {
    return {MapCellKind::Wildcard, {}, colour};
}

MapRowCell text(std::string shown, MapCellColour colour = MapCellColour::Plain) {
    return {MapCellKind::Text, std::move(shown), colour};
}

MapRowCell channelCell(uint8_t channel) {
    return channel == kAnyByte ? wildcard() : text(printfText("%2d", channel + 1));
}

MapRowCell messageCell(uint8_t type) {
    return type == kAnyByte ? wildcard() : text(std::string(mapMessageName(type)));
}

MapRowCell boundCell(uint16_t bound, MapCellColour colour) {
    return bound == kAnyBound ? wildcard(colour) : text(printfText("%3d", bound), colour);
}

// An output value: one number, or "low-high" for a range; "*" for an open end.
MapRowCell outputCell(uint16_t low, uint16_t high, MapCellColour colour) {
    if (low == kAnyBound && high == kAnyBound) {
        return wildcard(colour);
    }
    auto part = [](uint16_t bound) {
        return bound == kAnyBound ? std::string("*") : std::to_string(bound);
    };
    return text(low == high ? printfText("%3d", low) : part(low) + "-" + part(high), colour);
}

} // namespace

std::span<const MapRowColumnLayout, kMapRowColumns> mapRowColumns() {
    return kColumns;
}

int mapRowWidth() {
    const MapRowColumnLayout& sysex = kColumns[static_cast<size_t>(MapRowColumn::OutValue1)];
    return std::max(kColumns.back().left + kColumns.back().width,
                    sysex.left + kShownSysExCharacters);
}

std::array<MapRowCell, kMapRowColumns> mapRowCells(const MapEditorRow& row) {
    const MapItem& item = row.item;
    std::array<MapRowCell, kMapRowColumns> cells{};
    auto cell = [&cells](MapRowColumn column) -> MapRowCell& {
        return cells[static_cast<size_t>(column)];
    };
    cell(MapRowColumn::InChannel) = channelCell(item.sourceChannel);
    cell(MapRowColumn::InMessage) = messageCell(item.sourceMessage);
    cell(MapRowColumn::InV1Min) = boundCell(item.sourceV1Min, MapCellColour::Value1);
    cell(MapRowColumn::InV1Max) = boundCell(item.sourceV1Max, MapCellColour::Value1);
    cell(MapRowColumn::InV2Min) = boundCell(item.sourceV2Min, MapCellColour::Value2);
    cell(MapRowColumn::InV2Max) = boundCell(item.sourceV2Max, MapCellColour::Value2);
    if ((item.itemFlags & MAPITEM_CLONE) != 0) {
        cell(MapRowColumn::InClone) = {MapCellKind::Tick, {}, MapCellColour::Plain};
    }
    if (const int delay = item.itemFlags >> MAPITEM_DELAY_SHIFT; delay != 0) {
        cell(MapRowColumn::InDelay) = text(printfText("%4d", delay));
    }
    cell(MapRowColumn::OutChannel) = channelCell(item.targetChannel);
    cell(MapRowColumn::OutMessage) = messageCell(item.targetMessage);
    if (item.targetMessage == MAP_SYSEX) {
        cell(MapRowColumn::OutValue1) =
            text(row.sysexText.substr(0, static_cast<size_t>(kShownSysExCharacters)));
    } else if (item.targetMessage != MAP_DISCARD) {
        const bool pull1 = (item.itemFlags & MAPITEM_PULL_V1) != 0;
        const bool pull2 = (item.itemFlags & MAPITEM_PULL_V2) != 0;
        cell(MapRowColumn::OutValue1) =
            outputCell(item.targetV1Min, item.targetV1Max,
                       pull2 ? MapCellColour::Value2 : MapCellColour::Value1);
        cell(MapRowColumn::OutValue2) =
            outputCell(item.targetV2Min, item.targetV2Max,
                       pull1 ? MapCellColour::Value1 : MapCellColour::Value2);
    }
    return cells;
}

} // namespace corvex
