// What one row of the map editor's list shows, column by column, under the header labels:
// numbers, message names, a wildcard mark for "any" fields (channel or type 255, bound
// 0xFFFF), a tick for Clone, the delay when there is one, and for a SysEx target the start of
// its hex text in place of the output values. Value-1 and value-2 numbers are told apart by
// colour; an output value takes the colour of the input value it is pulled from.
//
// Pure functions and constant tables: any thread.
#pragma once

#include "mapping/map_editor_model.h"

#include <array>
#include <span>
#include <string>

namespace corvex {

enum class MapRowColumn {
    InChannel,
    InMessage,
    InV1Min,
    InV1Max,
    InV2Min,
    InV2Max,
    InClone,
    InDelay,
    OutChannel,
    OutMessage,
    OutValue1,
    OutValue2,
};
inline constexpr size_t kMapRowColumns = 12;

// A column's place on the line, in character cells of a fixed-width font, and its header:
// `group` on the first header line (spanning `groupWidth` characters from `left`, 0 for
// none), `label` on the second.
struct MapRowColumnLayout {
    int left;
    int width;
    bool rightAligned;
    const char* group;
    int groupWidth;
    const char* label;
};
std::span<const MapRowColumnLayout, kMapRowColumns> mapRowColumns();

// The characters of a SysEx target's hex text the row shows.
inline constexpr int kShownSysExCharacters = 32;
// Characters from the start of the line to the end of the last column, or of the longest
// SysEx text.
int mapRowWidth();

enum class MapCellKind { Empty, Text, Wildcard, Tick };
enum class MapCellColour { Plain, Value1, Value2 };

struct MapRowCell {
    MapCellKind kind = MapCellKind::Empty;
    std::string text;
    MapCellColour colour = MapCellColour::Plain;

    bool operator==(const MapRowCell&) const = default;
};

// The cells of `row`. A SysEx target's text stands in OutValue1 and may run on to the end
// of the line.
std::array<MapRowCell, kMapRowColumns> mapRowCells(const MapEditorRow& row);

} // namespace corvex
