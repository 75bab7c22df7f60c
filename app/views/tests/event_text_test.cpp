#include "views/event_text.h"
#include "views/event_text_settings.h"

#include "views/text_columns.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvex {
namespace {

EVENT event(uint32_t timestamp, uint8_t status, uint8_t data1, uint8_t data2, uint8_t port = 0,
            uint8_t outPort = 0, uint8_t origin = 0) {
    EVENT e{};
    e.timestamp = timestamp;
    e.message = status | data1 << 8 | data2 << 16 | static_cast<uint32_t>(origin) << 24;
    e.port = port;
    e.outPort = outPort;
    return e;
}

// The event name column: 21 columns from column 48.
std::string nameColumn(const std::string& line) {
    return line.substr(48, 21);
}

TEST(EventTextLayouts, HexLayoutsForEveryKindOfMessage) {
    const EventText text;
    const auto hex = [&](uint8_t status, uint8_t d1, uint8_t d2) {
        return text.line(event(0x1234ABCD, status, d1, d2, 2, 5), NumberStyle::Hex);
    };
    const std::string prefix = " 1234ABCD   3   5 ";
    EXPECT_EQ(hex(0xB3, 7, 100), prefix + "    B3    07    64    4  ---  CC: Volume            ");
    EXPECT_EQ(hex(0xE0, 0, 64), prefix + "    E0    00    40    1  ---  Pitch Bend            ");
    EXPECT_EQ(hex(0xC1, 5, 9), prefix + "    C1    05    --    2  ---  Program Change        ");
    EXPECT_EQ(hex(0xD2, 33, 9), prefix + "    D2    21    --    3  ---  Channel Aft           ");
    EXPECT_EQ(hex(0x80, 61, 64), prefix + "    80    3D    40    1  C# 4 Note Off              ");
    EXPECT_EQ(hex(0x9F, 70, 1), prefix + "    9F    46    01   16  Bb 4 Note On               ");
    EXPECT_EQ(hex(0xA0, 59, 20), prefix + "    A0    3B    14    1  B  3 Key Aftertouch        ");
    EXPECT_EQ(hex(0xF2, 1, 2), prefix + "    F2    01    02   --  ---  Song Position Ptr     ");
    EXPECT_EQ(hex(0x45, 1, 2), prefix + "    45    01    02   --  ---  Unknown Event         ");
    EXPECT_EQ(hex(0xF1, 0x31, 9), prefix + "    F1    31    --   --  ---  MTC Quarter Frame     ");
    EXPECT_EQ(hex(0xF3, 4, 9), prefix + "    F3    04    --   --  ---  Song Select           ");
    EXPECT_EQ(hex(0xF8, 4, 9), prefix + "    F8    --    --   --  ---  Timing Clock          ");
    EXPECT_EQ(hex(0xF4, 0, 0), prefix + "    F4    --    --   --  ---  Undefined             ");
    EXPECT_EQ(hex(0xF5, 0x10, 1), prefix + "    --  Buffer:   272 Bytes   SysEx Continue        ");
    EXPECT_EQ(hex(0xF0, 0xFF, 0xFF),
              prefix + "    F0  Buffer: 65535 Bytes   System Exclusive      ");
    EXPECT_EQ(hex(0xF7, 6, 0), prefix + "    F7  Buffer:     6 Bytes   SysEx End             ");
}

TEST(EventTextLayouts, DecimalLayoutsForEveryKindOfMessage) {
    const EventText text;
    const auto dec = [&](uint8_t status, uint8_t d1, uint8_t d2) {
        return text.line(event(4294967295u, status, d1, d2, 0, 100), NumberStyle::Decimal);
    };
    const std::string prefix = "4294967295  1  100";
    EXPECT_EQ(dec(0xBF, 7, 100), prefix + "   191     7   100   16  ---  CC: Volume            ");
    EXPECT_EQ(dec(0xC0, 5, 9), prefix + "   192     5   ---    1  ---  Program Change        ");
    EXPECT_EQ(dec(0x90, 60, 0), prefix + "   144    60     0    1  C  4 Note Off              ");
    EXPECT_EQ(dec(0x12, 1, 2), prefix + "    18     1     2   --  ---  Unknown Event         ");
    EXPECT_EQ(dec(0xF3, 4, 9), prefix + "   243     4   ---   --  ---  Song Select           ");
    EXPECT_EQ(dec(0xFE, 4, 9), prefix + "   254   ---   ---   --  ---  Active Sensing        ");
    EXPECT_EQ(dec(0xF5, 0, 2), prefix + "   --- Buffer:   512 Bytes    SysEx Continue        ");
    EXPECT_EQ(dec(0xF0, 1, 0), prefix + "   240 Buffer:     1 Bytes    System Exclusive      ");
}

TEST(EventTextLayouts, EveryStatusGivesSeventyColumnsInBothStyles) {
    EventText text;
    text.setShowPatchNames(true);
    for (unsigned status = 0; status < 256; ++status) {
        for (const uint8_t data : {0, 60, 127, 255}) {
            const EVENT e = event(0xFFFFFFFF, static_cast<uint8_t>(status), data, data, 255, 255);
            EXPECT_EQ(text.line(e, NumberStyle::Hex).size(), EventText::lineColumns) << status;
            EXPECT_EQ(text.line(e, NumberStyle::Decimal).size(), EventText::lineColumns) << status;
        }
    }
}

TEST(EventTextLayouts, NoteOnWithVelocityZeroReadsAsNoteOff) {
    const EventText text;
    const std::string line = text.line(event(1234, 0x90, 60, 0), NumberStyle::Hex);
    EXPECT_EQ(line, " 000004D2   1  --     90    3C    00    1  C  4 Note Off              ");
}

TEST(EventTextLabels, OriginsNameTheInColumnAndOutputsThePortColumn) {
    const EventText text;
    const auto inLabel = [&](uint8_t origin, uint8_t port) {
        return text.line(event(0, 0x90, 60, 1, port, 0, origin), NumberStyle::Hex).substr(11, 3);
    };
    EXPECT_EQ(inLabel(0xFF, 0), "CVX");
    EXPECT_EQ(inLabel(0xFD, 0), "KEY");
    EXPECT_EQ(inLabel(0xFC, 0), "LUA");
    EXPECT_EQ(inLabel(0xF9, 0), "COM");
    EXPECT_EQ(inLabel(0x00, 0), " 1 ");
    EXPECT_EQ(inLabel(0x00, 98), "99 ");
    EXPECT_EQ(inLabel(0x00, 99), "100");
    EXPECT_EQ(inLabel(0x00, CVX_GENERATED_PORT), "CVX");
    EXPECT_EQ(inLabel(0x00, CVX_UNKNOWN_PORT), "   ");

    const auto outLabel = [&](uint8_t outPort) {
        return text.line(event(0, 0x90, 60, 1, 0, outPort), NumberStyle::Hex).substr(15, 3);
    };
    EXPECT_EQ(outLabel(0), "-- ");
    EXPECT_EQ(outLabel(1), " 1 ");
    EXPECT_EQ(outLabel(135), "135");
}

TEST(EventTextLabels, AbbreviationsShowTheFirstThreeColumnsOfPortNames) {
    EventText text;
    text.setPortNames({"USB MIDI Interface", "A", "Über\nSynth"}, {"Synth Out", ""});
    const auto labels = [&](uint8_t port, uint8_t outPort) {
        const std::string line = text.line(event(0, 0xF8, 0, 0, port, outPort), NumberStyle::Hex);
        return line.substr(11, byteOffsetOfColumn(line, 18) - 11);
    };
    EXPECT_EQ(labels(0, 1), " 1   1 ") << "names apply only while abbreviation is on";

    text.setAbbreviatePortNames(true);
    EXPECT_EQ(labels(0, 1), "USB Syn");
    EXPECT_EQ(labels(1, 2), "  A    ") << "short and empty names are padded";
    EXPECT_EQ(labels(2, 3), "Übe  3 ") << "a multi-byte character is one column; port 3 unnamed";
    EXPECT_EQ(labels(3, 0), " 4  -- ");

    text.setAbbreviatePortNames(false);
    EXPECT_EQ(labels(0, 1), " 1   1 ");
}

TEST(EventTextNotes, OctaveFollowsTheMiddleCSetting) {
    EventText text;
    const auto note = [&](uint8_t number) {
        return text.line(event(0, 0x90, number, 1), NumberStyle::Hex).substr(43, 4);
    };
    EXPECT_EQ(note(60), "C  4");
    EXPECT_EQ(note(0), "C -1");
    EXPECT_EQ(note(127), "G  9");
    text.setMiddleC(7);
    EXPECT_EQ(note(60), "C  7");
    text.setMiddleC(0);
    EXPECT_EQ(text.middleC(), 1);
    EXPECT_EQ(note(0), "C -4");
    text.setMiddleC(99);
    EXPECT_EQ(text.middleC(), 7);
}

TEST(EventTextNames, ControllersWithoutANameReadControlChange) {
    const EventText text;
    const auto name = [&](uint8_t controller) {
        return nameColumn(text.line(event(0, 0xB0, controller, 0), NumberStyle::Decimal));
    };
    EXPECT_EQ(name(3), "Control Change       ");
    EXPECT_EQ(name(22), "CC: 22 (Ext)         ");
    EXPECT_EQ(name(66), "CC: Sostenuto-Thumby ");
    EXPECT_EQ(name(127), "CC: Poly On          ");
}

TEST(EventTextNames, ProgramChangesShowPatchNamesWhenAskedAndDrumsOnChannelTen) {
    EventText text;
    const auto name = [&](uint8_t status, uint8_t program) {
        return nameColumn(text.line(event(0, status, program, 0), NumberStyle::Hex));
    };
    EXPECT_EQ(name(0xC0, 0), "Program Change       ");
    text.setShowPatchNames(true);
    EXPECT_EQ(name(0xC0, 0), "PC: Acc. Grand Piano ");
    EXPECT_EQ(name(0xC0, 127), "PC: Gunshot          ");
    EXPECT_EQ(name(0xC9, 17), "PC: Drums            ");

    text.setPatchName(1, 17, "Fat Organ");
    EXPECT_EQ(name(0xC1, 17), "PC: Fat Organ        ");
    EXPECT_EQ(name(0xC0, 17), "PC: Percussive Organ ") << "other channels keep their names";
    text.setPatchName(2, 3, "A very long instrument patch name");
    EXPECT_EQ(name(0xC2, 3), "PC: A very long instr") << "cut to the column";
    text.setPatchName(16, 3, "ignored");
    text.setPatchName(2, 128, "ignored");
    text.setPatchName(-1, 3, "ignored");
    EXPECT_EQ(name(0xC2, 4), "PC: Electric Piano 1 ");
}

TEST(EventTextSpecialLines, TextAndSysExLines) {
    EXPECT_EQ(EventText::textLine("Display is OFF"), " Display is OFF");
    const uint8_t bytes[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    EXPECT_EQ(EventText::sysexLine(bytes, 6, NumberStyle::Hex), " SYSX: F0 7E 7F 09 01 F7");
    EXPECT_EQ(EventText::sysexLine(bytes, 6, NumberStyle::Decimal), "  SYSX: 240 126 127 9 1 247");
    EXPECT_EQ(EventText::sysexLine(bytes, 0, NumberStyle::Hex), " SYSX:");
}

TEST(EventTextReuse, LineIntoAStringReusesItsCapacity) {
    const EventText text;
    std::string out;
    text.line(event(1, 0x90, 60, 1), NumberStyle::Hex, out);
    const char* storage = out.data();
    text.line(event(2, 0xB0, 7, 1), NumberStyle::Decimal, out);
    EXPECT_EQ(out.data(), storage);
    EXPECT_EQ(out, text.line(event(2, 0xB0, 7, 1), NumberStyle::Decimal));
}

TEST(EventTextSettings, StoredOptionsShapeTheText) {
    SettingsProfile settings = SettingsProfile::defaults();
    settings.options.octave = 3;
    settings.display.displayPortNames = true;
    settings.display.displayGMPatches = false;
    EventText text;
    text.setPortNames({"Keys"}, {});
    applyEventTextSettings(text, settings);
    EXPECT_EQ(text.middleC(), 3);
    const std::string line = text.line(event(0, 0xC0, 0, 0), NumberStyle::Hex);
    EXPECT_EQ(line.substr(11, 3), "Key");
    EXPECT_EQ(nameColumn(line), "Program Change       ");
}

} // namespace
} // namespace corvex
