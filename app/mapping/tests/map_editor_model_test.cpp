// The map editor's model: row operations and the clipboard, Define Mapping's fields into
// MapItem bytes (against maps the binary writer and reader carry), clamping, and refusing a
// map the engine cannot hold, and what a row of the list shows.
#include "mapping/map_editor_model.h"
#include "mapping/map_row_display.h"

#include "map_test_support.h"
#include "mapping/binary_map_file.h"
#include "mapping/hex_text.h"
#include "mapping/map_capacity.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace corvex {
namespace {

MapEditorRow noteRow(uint16_t note) {
    MapEditorRow row = newMapRow();
    row.item.sourceMessage = MAP_NOTE_ON;
    row.item.sourceV1Min = note;
    return row;
}

std::vector<uint16_t> notes(const MapEditor& editor) {
    std::vector<uint16_t> out;
    for (const MapEditorRow& row : editor.rows()) {
        out.push_back(row.item.sourceV1Min);
    }
    return out;
}

TEST(MapEditorTest, RowOperationsAndClipboard) {
    MapEditor editor{DataMap{}};
    editor.removeSelected(); // empty list: nothing
    editor.copySelected();
    editor.paste(); // right after opening: the new-row value
    EXPECT_EQ(editor.rows().at(0), newMapRow());
    editor.clear();
    editor.insert(noteRow(1)); // top, selected
    editor.insert(noteRow(2)); // before the selected row
    EXPECT_EQ(notes(editor), (std::vector<uint16_t>{2, 1}));
    EXPECT_EQ(editor.selected(), 0);
    editor.moveUp(); // first row: nothing
    editor.moveDown();
    EXPECT_EQ(notes(editor), (std::vector<uint16_t>{1, 2}));
    EXPECT_EQ(editor.selected(), 1);
    editor.moveDown();    // last row: nothing
    editor.cutSelected(); // last row cut: the new last row is selected
    EXPECT_EQ(notes(editor), std::vector<uint16_t>{1});
    EXPECT_EQ(editor.selected(), 0);
    editor.paste();
    editor.paste();
    EXPECT_EQ(notes(editor), (std::vector<uint16_t>{2, 2, 1}));
    editor.select(1);
    editor.replaceSelected(noteRow(9));
    editor.removeSelected(); // selection stays at the index
    EXPECT_EQ(notes(editor), (std::vector<uint16_t>{2, 1}));
    EXPECT_EQ(editor.selected(), 1);
}

// Each field typed in Define Mapping lands in its MapItem bytes; the map the editor builds
// is the one the binary writer stores and its reader returns.
TEST(MapEditorTest, FormFieldsBecomeItemBytes) {
    using test::makeItem;
    struct Case {
        const char* name;
        MapRowForm form;
        MapItem item;
        bool clamped;
    };
    MapRowForm note;
    note.sourceChannel = 3;
    note.sourceMessage = MAP_NOTE_ON;
    note.sourceValues[0] = 60;
    note.sourceValues[1] = 200; // above 127
    note.targetChannel = 10;
    note.targetMessage = MAP_NOTE_ON;
    note.targetValues[2] = -5; // any
    note.delay = 1500;
    note.clone = true;
    note.pullValue1 = true;
    MapRowForm nrpn;
    nrpn.sourceMessage = MAP_NRPN;
    nrpn.sourceValues[0] = 20000;
    nrpn.targetMessage = MAP_RPN;
    nrpn.targetValues[3] = 16383;
    nrpn.pullValue2 = true;
    nrpn.delay = 5;
    MapRowForm start;
    start.sourceChannel = 2;
    start.sourceMessage = MAP_START;
    start.sourceValues[0] = 5;
    start.targetChannel = 4;
    start.targetMessage = MAP_SPP;
    start.targetValues[0] = 1;
    const Case cases[] = {
        {"note", note,
         makeItem(2, MAP_NOTE_ON, {60, 127, 0xFFFF, 0xFFFF}, 9, MAP_NOTE_ON, test::kAnyBounds,
                  MAPITEM_CLONE | MAPITEM_PULL_V1 | (1023u << MAPITEM_DELAY_SHIFT)),
         true},
        {"nrpn", nrpn,
         makeItem(0xFF, MAP_NRPN, {16383, 0xFFFF, 0xFFFF, 0xFFFF}, 0xFF, MAP_RPN,
                  {0xFFFF, 0xFFFF, 0xFFFF, 16383}, MAPITEM_PULL_V2 | (5u << MAPITEM_DELAY_SHIFT)),
         true},
        {"transport", start,
         makeItem(0xFF, MAP_START, test::kAnyBounds, 0xFF, MAP_SPP, {1, 0xFFFF, 0xFFFF, 0xFFFF}),
         false},
    };
    MapEditor editor{DataMap{}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FormReading reading = rowOfForm(c.form);
        EXPECT_EQ(reading.row.item, c.item);
        EXPECT_EQ(reading.clamped, c.clamped);
        EXPECT_EQ(rowOfForm(formOfRow(reading.row)).row, reading.row); // reopening keeps it
        editor.insert(reading.row);
    }
    MapRowForm sysex;
    sysex.targetMessage = MAP_SYSEX;
    sysex.targetChannel = 5; // SysEx outputs on the input's channel
    sysex.sysexText = "f0 7e 7f 09 01 f7";
    sysex.delay = 100; // no delay field for SysEx
    const MapEditorRow sysexRow = rowOfForm(sysex).row;
    EXPECT_EQ(sysexRow.sysexText, "F0 7E 7F 09 01 F7");
    EXPECT_EQ(sysexRow.item.targetChannel, 0xFF);
    EXPECT_EQ(sysexRow.item.itemFlags, 0);
    editor.insert(sysexRow);
    MapEditorRow formerSysEx = sysexRow; // changed to another type: loses its entry
    formerSysEx.item.targetMessage = MAP_DISCARD;
    editor.insert(formerSysEx);

    editor.options = MAP_SEND_FULL_NRPN;
    editor.isOn = 1;
    const DataMap built = editor.toMap();
    DataMap read;
    ASSERT_TRUE(readBinaryMapImage(
                    read,
                    [&] {
                        const std::string image = binaryMapImage(built);
                        return std::vector<uint8_t>(image.begin(), image.end());
                    }(),
                    "built.vxm", false, true)
                    .ok);
    ASSERT_EQ(read.items().size(), editor.rows().size());
    EXPECT_EQ(read.options, MAP_SEND_FULL_NRPN);
    for (size_t index = 0; index < editor.rows().size(); ++index) {
        const MapEditorRow& row = editor.rows()[index];
        MapItem item = read.items()[index];
        const bool sysexTarget = row.item.targetMessage == MAP_SYSEX;
        EXPECT_EQ(item.sysexOffset != 0, sysexTarget) << index;
        EXPECT_EQ(formatHexText(read.sysexOf(index)), sysexTarget ? row.sysexText : "");
        item.sysexOffset = 0;
        EXPECT_EQ(item, row.item) << index;
    }
    for (const Case& c : cases) {
        EXPECT_NE(std::find(read.items().begin(), read.items().end(), c.item), read.items().end())
            << c.name;
    }
    // And back into the editor: the same items, the SysEx text only where the target is SysEx.
    MapEditor reopened(read);
    ASSERT_EQ(reopened.rows().size(), editor.rows().size());
    for (size_t index = 0; index < editor.rows().size(); ++index) {
        const MapEditorRow& row = editor.rows()[index];
        EXPECT_EQ(reopened.rows()[index].item, row.item) << index;
        EXPECT_EQ(reopened.rows()[index].sysexText,
                  row.item.targetMessage == MAP_SYSEX ? row.sysexText : "");
    }
}

TEST(MapEditorTest, LabelsAndRanges) {
    EXPECT_STREQ(valueLabels(MAP_NOTE_ON).value2, "Velocity");
    EXPECT_STREQ(valueLabels(MAP_PITCH_B).value1, "Bend LSB");
    EXPECT_STREQ(valueLabels(MAP_STOP).value1, "Not Used");
    EXPECT_STREQ(valueLabels(MAP_ANY).value1, "Value 1");
    EXPECT_EQ(valueMaximum(MAP_RPN), 16383);
    EXPECT_EQ(valueMaximum(MAP_NRPN), 16383);
    EXPECT_EQ(valueMaximum(MAP_CTRL), 127);
}

// A map over the engine's storage is refused with the limit named; one at the limit passes.
TEST(MapEditorTest, CapacityRefusal) {
    MapEditor editor{DataMap{}};
    for (size_t index = 0; index < kMaxMapItems; ++index) {
        editor.insert(noteRow(1));
    }
    EXPECT_EQ(mapTooLargeMessage(editor.toMap()), "");
    editor.insert(noteRow(1));
    const std::string message = mapTooLargeMessage(editor.toMap());
    EXPECT_NE(message.find(std::to_string(kMaxMapItems) + " items without SysEx"),
              std::string::npos)
        << message;
}

} // namespace
} // namespace corvex

namespace corvex {
namespace {

// What a row of the list shows: wildcards for "any", numbers in their columns, value
// colours swapped by the pull flags, the SysEx text's start in place of the output values,
// nothing there for Discard.
TEST(MapRowDisplayTest, CellsOfARow) {
    using enum MapCellKind;
    using enum MapCellColour;
    using Col = MapRowColumn;
    auto at = [](const auto& cells, Col column) { return cells[static_cast<size_t>(column)]; };

    const auto any = mapRowCells(newMapRow());
    for (Col column : {Col::InChannel, Col::InMessage, Col::InV1Min, Col::InV2Max, Col::OutChannel,
                       Col::OutMessage, Col::OutValue1, Col::OutValue2}) {
        EXPECT_EQ(at(any, column).kind, Wildcard) << static_cast<int>(column);
    }
    EXPECT_EQ(at(any, Col::InClone).kind, Empty);
    EXPECT_EQ(at(any, Col::InDelay).kind, Empty);

    MapEditorRow note = noteRow(60);
    note.item.sourceChannel = 9;
    note.item.sourceV1Max = 72;
    note.item.targetMessage = MAP_CTRL;
    note.item.targetV1Min = note.item.targetV1Max = 7;
    note.item.targetV2Min = 0;
    note.item.targetV2Max = 0xFFFF;
    note.item.itemFlags = MAPITEM_CLONE | MAPITEM_PULL_V1 | (25 << MAPITEM_DELAY_SHIFT);
    const auto cells = mapRowCells(note);
    const struct {
        Col column;
        MapRowCell cell;
    } expected[] = {{Col::InChannel, {Text, "10", Plain}},
                    {Col::InMessage, {Text, "NoteOn", Plain}},
                    {Col::InV1Min, {Text, " 60", Value1}},
                    {Col::InV1Max, {Text, " 72", Value1}},
                    {Col::InV2Min, {Wildcard, "", Value2}},
                    {Col::InClone, {Tick, "", Plain}},
                    {Col::InDelay, {Text, "  25", Plain}},
                    {Col::OutMessage, {Text, "Ctrl", Plain}},
                    {Col::OutValue1, {Text, "  7", Value1}},
                    {Col::OutValue2, {Text, "0-*", Value1}}}; // pulled from input value 1
    for (const auto& e : expected) {
        EXPECT_EQ(at(cells, e.column), e.cell) << static_cast<int>(e.column);
    }

    MapEditorRow sysex = newMapRow();
    sysex.item.targetMessage = MAP_SYSEX;
    sysex.sysexText = std::string(40, 'A');
    EXPECT_EQ(at(mapRowCells(sysex), Col::OutValue1), (MapRowCell{Text, std::string(32, 'A')}));
    EXPECT_EQ(at(mapRowCells(sysex), Col::OutValue2).kind, Empty);
    sysex.item.targetMessage = MAP_DISCARD;
    EXPECT_EQ(at(mapRowCells(sysex), Col::OutValue1).kind, Empty);

    // The columns follow one another on the line and the SysEx text fits on it.
    const auto columns = mapRowColumns();
    for (size_t i = 1; i < kMapRowColumns; ++i) {
        EXPECT_GT(columns[i].left, columns[i - 1].left + columns[i - 1].width - 1) << i;
    }
    EXPECT_GE(mapRowWidth(),
              columns[static_cast<size_t>(Col::OutValue1)].left + kShownSysExCharacters);
}

} // namespace
} // namespace corvex
