// The rows of the data map editor and the operations on them (insert, edit, cut, copy,
// paste, delete, move, clear), the row form of the "Define Mapping" dialog with its labels,
// ranges and clamping, and the check that a map fits the engine before it is sent.
//
// Not thread-safe: the user-interface thread owns an editor.
#pragma once

#include "mapping/data_map.h"

#include <optional>
#include <string>
#include <vector>

namespace corvex {

// One row of the list: its item and the SysEx data as hex text.
struct MapEditorRow {
    MapItem item{};
    std::string sysexText;

    bool operator==(const MapEditorRow&) const = default;
};

// The "Insert" row: every source and target field a wildcard, no SysEx, no flags.
MapEditorRow newMapRow();

class MapEditor {
public:
    // The working map: a copy of `map`'s rows, options and switches.
    explicit MapEditor(const DataMap& map);

    const std::vector<MapEditorRow>& rows() const { return rows_; }
    int selected() const { return selected_; } // -1: none
    void select(int index);

    // Before the selected row (at the top when none); the new row is selected.
    void insert(const MapEditorRow& row);
    // Replaces the selected row; nothing without a selection.
    void replaceSelected(const MapEditorRow& row);
    // The selection stays at the same index, or moves to the last row.
    void removeSelected();
    void copySelected();
    void cutSelected();
    void paste();
    void moveUp();
    void moveDown();
    void clear();

    // The rows as a map: emptied, then every row in list order; a row's SysEx text becomes
    // its entry only when its target type is SysEx.
    DataMap toMap() const;
    // Load: the file's map (appended or replacing) refills the list and the switches.
    void refill(const DataMap& map);

    uint16_t options = 0;
    int16_t isOn = 0;
    int16_t keys = 0;

private:
    std::vector<MapEditorRow> rows_;
    int selected_ = -1;
    MapEditorRow clipboard_ = newMapRow();
};

// Empty when `map` fits the engine's map storage; otherwise the message naming the limit.
std::string mapTooLargeMessage(const DataMap& map);

// ---- Define Mapping ----------------------------------------------------------------------

// The label pair of the value columns for a message type ("Note #", "Velocity", ...).
struct ValueLabels {
    const char* value1;
    const char* value2;
};
ValueLabels valueLabels(uint8_t type);

// The highest value a side of type `type` takes: 16383 for NRPN and RPN, else 127.
int valueMaximum(uint8_t type);

// The dialog's fields as typed: channels 0 = Any / Match Input, else 1-16; types 255 or
// 1-15; values -1 for Any / the input's value; delay in ms.
struct MapRowForm {
    int sourceChannel = 0;
    uint8_t sourceMessage = MAP_ANY;
    int sourceValues[4] = {-1, -1, -1, -1}; // V1 min, V1 max, V2 min, V2 max
    bool clone = false;
    int targetChannel = 0;
    uint8_t targetMessage = MAP_ANY;
    int targetValues[4] = {-1, -1, -1, -1};
    std::string sysexText;
    int delay = 0;
    bool pullValue1 = false;
    bool pullValue2 = false;
};

MapRowForm formOfRow(const MapEditorRow& row);

struct FormReading {
    MapEditorRow row;
    bool clamped = false; // some number was outside its range and was brought into it
};
// OK of Define Mapping: disabled fields give 255 / 0xFFFF, negative numbers 0xFFFF, numbers
// above their side's maximum the maximum, a delay above 1023 is 1023; the SysEx text is read
// as at most 1,022 bytes and stored as canonical hex text.
FormReading rowOfForm(const MapRowForm& form);

} // namespace corvex
