#include "map_test_support.h"
#include "mapping/ascii_map_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvex::test {
namespace {

using Bytes = std::vector<uint8_t>;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr char kHead[] = "CVXMAP Version 5\r\n[Map]\r\n";

// Reads `text` into a fresh map; the result and the map.
struct Read {
    MapFileResult result;
    DataMap map;
};

Read readText(const std::string& text, uint16_t startOptions = 0) {
    Read r;
    r.map.options = startOptions;
    r.result = readAsciiMapText(r.map, text, "m.txm", false, false);
    return r;
}

// The one item a one-line map reads as.
MapItem itemOf(const std::string& line) {
    Read r = readText(kHead + line + "\r\n");
    EXPECT_TRUE(r.result.problems.empty()) << r.result.problems.front();
    EXPECT_EQ(r.map.items().size(), 1u) << line;
    return r.map.items().empty() ? MapItem{} : r.map.items()[0];
}

// The problem one line gives (empty when it reads).
std::string problemOf(const std::string& line, const char* version = "5") {
    Read r = readText(std::string("CVXMAP Version ") + version + "\n[Map]\n" + line + "\n");
    EXPECT_TRUE(r.result.ok);
    return r.result.problems.empty() ? "" : r.result.problems.front();
}

TEST(AsciiMapWriter, WritesTheHeaderItemsAndOptionsWithCrLf) {
    DataMap map = mapOf(
        {{makeItem(0, MAP_NOTE_ON, {60, 72, kAny, kAny}, 9, MAP_CTRL, {7, 7, 0, 127},
                   MAPITEM_CLONE | 5 << 6 | MAPITEM_PULL_V1),
          {}},
         {makeItem(0xFF, MAP_ANY, kAnyBounds, 0xFF, MAP_ANY, kAnyBounds, MAPITEM_PULL_V2), {}},
         discardRow(MAP_PROG_CHG),
         sysexRow(MAP_SPP, {0xF0, 0x0A, 0xF7}),
         sysexRow(MAP_STOP, {})},
        MAP_SEND_FULL_NRPN | MAP_REVERSE_DATA_ENTRY | 0x0100);
    EXPECT_EQ(asciiMapText(map), "CVXMAP Version 5\r\n"
                                 "\r\n[Map]\r\n"
                                 "1,NoteOn,60,72,*,*,Y,5,10,Ctrl,7,7,0,127,>\r\n"
                                 "*,*,*,*,*,*,N,0,*,*,*,*,*,*,<\r\n"
                                 "*,ProgChg,*,*,*,*,N,0,*,Discard,*,*,*,*\r\n"
                                 "*,SPP,*,*,*,*,N,0,*,SysEx,F0 0A F7\r\n"
                                 "*,Stop,*,*,*,*,N,0,*,SysEx,\r\n"
                                 "\r\n[Options]\r\n"
                                 "WaitForFullNRPN=0\r\n"
                                 "MapNRPNDataIncr=0\r\n"
                                 "SendFullNRPN=1\r\n"
                                 "ReverseDataEntry=1\r\n");
}

TEST(AsciiMapWriter, TypesWithoutANameAreWrittenAsNumbersThatDoNotReadBack) {
    DataMap map = mapOf({{makeItem(0, 0, kAnyBounds, 0, 42, kAnyBounds), {}}});
    std::string text = asciiMapText(map);
    EXPECT_THAT(text, HasSubstr("1,0,*,*,*,*,N,0,1,42,*,*,*,*\r\n"));
    Read r = readText(text);
    EXPECT_TRUE(r.map.items().empty());
    EXPECT_THAT(r.result.problems, ElementsAre(HasSubstr("Item: Source Message, Value: 0")));
}

TEST(AsciiMapReader, ReadsFieldsWhateverTheSeparatorsAndCase) {
    MapItem expected =
        makeItem(15, MAP_PITCH_B, {0, 16383, kAny, 5}, 0xFF, MAP_NRPN, {kAny, 1, 2, 3},
                 MAPITEM_CLONE | 1023 << 6 | MAPITEM_PULL_V1 | MAPITEM_PULL_V2);
    EXPECT_EQ(itemOf("16,PitchB,0,16383,*,5,Y,1023,*,NRPN,*,1,2,3,>,<"), expected);
    EXPECT_EQ(itemOf("  16 pitchb  0, 16383 ,*;5 true 1023 * nrpn *\t1 2 3 > <  "), expected);
    EXPECT_EQ(itemOf("16,PITCHB,0,16383,*,5,t,1023,*,NRPN,*,1,2,3,>>,<<"), expected);
}

TEST(AsciiMapReader, NamesAnyAndMatchInputReadAsTheWildcard) {
    for (const char* name : {"*", "Any", "MATCHINPUT", "matchinput"}) {
        MapItem item = itemOf(std::string("*,") + name + ",*,*,*,*,N,0,*," + name + ",*,*,*,*");
        EXPECT_EQ(item.sourceMessage, MAP_ANY) << name;
        EXPECT_EQ(item.targetMessage, MAP_ANY) << name;
    }
    EXPECT_EQ(itemOf("*,SPP,*,*,*,*,N,0,*,Start,*,*,*,*").targetMessage, MAP_START);
    EXPECT_EQ(itemOf("*,Cont,*,*,*,*,N,0,*,Stop,*,*,*,*").sourceMessage, MAP_CONT);
    EXPECT_EQ(itemOf("*,Stop,*,*,*,*,N,0,*,RPN,*,*,*,*").sourceMessage, MAP_STOP);
}

TEST(AsciiMapReader, ReportsTheFirstFieldInError) {
    struct Case {
        const char* line;
        const char* problem;
    };
    for (const Case& c : std::vector<Case>{
             {"0,NoteOn,*,*,*,*,N,0,*,*,*,*,*,*", "Item: Source Channel, Value: 0"},
             {"17,NoteOn,*,*,*,*,N,0,*,*,*,*,*,*", "Item: Source Channel, Value: 17"},
             {"*,Note,*,*,*,*,N,0,*,*,*,*,*,*", "Item: Source Message, Value: Note"},
             {"*,SysEx,*,*,*,*,N,0,*,*,*,*,*,*", "Item: Source Message, Value: SysEx"},
             {"*,Discard,*,*,*,*,N,0,*,*,*,*,*,*", "Item: Source Message, Value: Discard"},
             {"*,*,16384,*,*,*,N,0,*,*,*,*,*,*", "Item: Source V1 Min, Value: 16384"},
             {"*,*,*,-1,*,*,N,0,*,*,*,*,*,*", "Item: Source V1 Max, Value: -1"},
             {"*,*,*,*,x,*,N,0,*,*,*,*,*,*", "Item: Source V2 Min, Value: x"},
             {"*,*,*,*,*,*,0,0,*,*,*,*,*,*", "Item: Clone, Value: 0"},
             {"*,*,*,*,*,*,N,1024,*,*,*,*,*,*", "Item: Delay, Value: 1024"},
             {"*,*,*,*,*,*,N,0,99,*,*,*,*,*", "Item: Target Channel, Value: 99"},
             {"*,*,*,*,*,*,N,0,*,Foo,*,*,*,*", "Item: Target Message, Value: Foo"},
             {"*,*,*,*,*,*,N,0,*,*,*,*,*,20000", "Item: Target V2 Max, Value: 20000"},
             {"*,*,*,*,*,*,N,0,*,*,*,*", "Item: Target V2 Min, Value: (missing)"},
             {"*,*,*,*,*,*,N,0,*,SysEx,F0 4 F7", "Item: SysEx Data, Value: 4 F7"},
         }) {
        EXPECT_THAT(problemOf(c.line), HasSubstr(c.problem)) << c.line;
    }
    EXPECT_EQ(problemOf("*,*,*,*,*,*,N,0,*,*,*,*,*,*"), "");
    EXPECT_EQ(problemOf("*,*,16383,*,*,*,no,0,*,*,*,*,*,*"), "");
}

// Each message is the reader's text as users know it; the file and line follow below it.
TEST(AsciiMapReader, ProblemsNameTheFileTheLineAndTheField) {
    Read r = readText("; a comment\r\nCVXMAP Version 5\r\n[Map]\r\n"
                      "1,NoteOn,*,*,*,*,N,0,*,*,*,*,*,*\r\n"
                      "1,NoteOn,*,*,*,*,Maybe,0,*,*,*,*,*,*\r\n"
                      "[Options]\r\nSendFullNRPN=2\r\nColour=1\r\nWaitForFullNRPN\r\n");
    EXPECT_TRUE(r.result.ok);
    EXPECT_EQ(r.map.items().size(), 1u);
    EXPECT_THAT(r.result.problems,
                ElementsAre("Problem parsing ASCII map. Item: Clone, Value: Maybe\n'm.txm', line 5",
                            "Not Understood - Line beginning: 'SendFullNRPN'\n'm.txm', line 7",
                            "Not Understood - Line beginning: 'Colour'\n'm.txm', line 8",
                            "Not Understood - Line beginning: 'WaitForFullNRPN'\n'm.txm', line 9"));
    EXPECT_EQ(r.result.problemText(), r.result.problems[0] + "\n" + r.result.problems[1] + "\n" +
                                          r.result.problems[2] + "\n" + r.result.problems[3] +
                                          "\n");
}

TEST(AsciiMapReader, ProblemTextStaysWithin1024Characters) {
    std::string text = kHead;
    for (int i = 0; i < 100; ++i) {
        text += "99,NoteOn,*,*,*,*,N,0,*,*,*,*,*,*\r\n";
    }
    Read r = readText(text);
    EXPECT_EQ(r.result.problems.size(), 100u);
    EXPECT_LE(r.result.problemText().size(), 1024u);
    EXPECT_GT(r.result.problemText().size(), 900u);
}

TEST(AsciiMapReader, Version4LinesHaveNoDelay) {
    Read r = readText("cvxmap version 4\n[map]\n2,Ctrl,7,7,*,*,Y,*,Ctrl,10,10,*,*,>\n");
    ASSERT_EQ(r.map.items().size(), 1u);
    EXPECT_EQ(r.map.items()[0], makeItem(1, MAP_CTRL, {7, 7, kAny, kAny}, 0xFF, MAP_CTRL,
                                         {10, 10, kAny, kAny}, MAPITEM_CLONE | MAPITEM_PULL_V1));
    EXPECT_THAT(problemOf("*,*,*,*,*,*,N,0,3,Ctrl,*,*,*,*", "4"),
                HasSubstr("Item: Target Channel, Value: 0"));
}

TEST(AsciiMapReader, AcceptsOnlyTheVersionHeader) {
    DataMap map = mapOf({discardRow(MAP_CTRL)}, 3);
    for (const char* text : {"CVXMAP Version 5 beta\r\n[Map]\r\n", "[Map]\r\n",
                             "CVXMAP Version 3\n", "; only a comment\n\n"}) {
        MapFileResult result = readAsciiMapText(map, text, "m.txm", false, false);
        EXPECT_FALSE(result.ok) << text;
        EXPECT_THAT(result.message, HasSubstr("Expected ASCII Map Version Header: "
                                              "'CVXMAP Version 5'.\nFound: '"));
        EXPECT_EQ(readAsciiMapText(map, text, "m.txm", false, true).message, "");
    }
    EXPECT_EQ(readAsciiMapText(map, "; note\nCVXMAP 5\n", "m.txm", false, false).message,
              "Expected ASCII Map Version Header: 'CVXMAP Version 5'.\n"
              "Found: 'CVXMAP 5'\n'm.txm', line 2");
    EXPECT_EQ(map.rows(), mapOf({discardRow(MAP_CTRL)}).rows());
    EXPECT_EQ(map.options, 3);
}

TEST(AsciiMapReader, SectionsCommentsAndLineEnds) {
    Read r = readText("\xEF\xBB\xBF\r\n ; header next\rcvxmap VERSION 5\n"
                      "1,NoteOn,*,*,*,*,N,0,*,*,*,*,*,*\n" // before any section: ignored
                      "[Notes]\n2,NoteOn,*,*,*,*,N,0,*,*,*,*,*,*\n"
                      "[Broken\n3,NoteOn,*,*,*,*,N,0,*,*,*,*,*,*\n"
                      "[ MAP ] trailing\n; 4,NoteOn\n\t5,NoteOn,*,*,*,*,N,0,*,*,*,*,*,*\t\r\n"
                      "6,NoteOn,*,*,*,*,N,0,*,*,*,*,*,*");
    EXPECT_TRUE(r.result.problems.empty());
    ASSERT_EQ(r.map.items().size(), 2u);
    EXPECT_EQ(r.map.items()[0].sourceChannel, 4);
    // The last line is read although no line end follows it.
    EXPECT_EQ(r.map.items()[1].sourceChannel, 5);
}

TEST(AsciiMapReader, DiscardAndSysExTargetsComeBackInTheirWrittenForm) {
    MapItem discard = makeItem(4, MAP_CTRL, {1, 2, 3, 4}, 5, MAP_DISCARD, {6, 7, 8, 9},
                               0x0038 | MAPITEM_CLONE | MAPITEM_PULL_V1);
    MapItem sysex = discard;
    sysex.targetMessage = MAP_SYSEX;
    Read r = readText(asciiMapText(mapOf({{discard, {}}, {sysex, {0xF0, 0xF7}}})));
    ASSERT_EQ(r.map.items().size(), 2u);
    MapItem expected =
        makeItem(4, MAP_CTRL, {1, 2, 3, 4}, 0xFF, MAP_DISCARD, kAnyBounds, MAPITEM_CLONE);
    EXPECT_EQ(r.map.items()[0], expected);
    expected.targetMessage = MAP_SYSEX;
    expected.sysexOffset = 4;
    EXPECT_EQ(r.map.items()[1], expected);
}

TEST(AsciiMapReader, DiscardAndSysExTargets) {
    MapItem discard = itemOf("3,NoteOn,1,2,3,4,N,7,5,Discard");
    EXPECT_EQ(discard,
              makeItem(2, MAP_NOTE_ON, {1, 2, 3, 4}, 0xFF, MAP_DISCARD, kAnyBounds, 7 << 6));
    Read r =
        readText(std::string(kHead) + "*,Ctrl,*,*,*,*,N,0,*,SysEx, f0,7e 0a0B F7 ; comment F0\n"
                                      "*,Ctrl,*,*,*,*,N,0,*,SysEx\n");
    ASSERT_EQ(r.map.items().size(), 2u);
    EXPECT_EQ(r.map.rows()[0].sysex, (Bytes{0xF0, 0x7E, 0x0A, 0x0B, 0xF7}));
    EXPECT_EQ(r.map.items()[1].sysexOffset, 0);
    EXPECT_EQ(r.map.items()[1].targetMessage, MAP_SYSEX);

    std::string tooLong = "*,Ctrl,*,*,*,*,N,0,*,SysEx,";
    for (int i = 0; i < 1023; ++i) {
        tooLong += "00 ";
    }
    EXPECT_THAT(problemOf(tooLong), HasSubstr("Item: SysEx Data"));
}

TEST(AsciiMapReader, OptionsStartFromTheMapsOwn) {
    Read r = readText("CVXMAP Version 5\n[Options]\n"
                      "waitforfullnrpn = 1 ; comment\nSendFullNRPN=0\nMapNRPNDataIncr=2\n",
                      MAP_SEND_FULL_NRPN | MAP_NRPN_DATA_INCR | 0x0100);
    EXPECT_TRUE(r.result.ok);
    EXPECT_EQ(r.map.options, MAP_WAIT_FOR_FULL_NRPN | MAP_NRPN_DATA_INCR | 0x0100);
    EXPECT_EQ(r.result.problems.size(), 1u);
}

TEST(AsciiMapReader, ReplacesOrAppendsOnlyOnceTheFileIsRead) {
    DataMap map = mapOf({sysexRow(MAP_CTRL, {0xF0, 1, 0xF7})});
    std::string text = std::string(kHead) + "*,NoteOn,*,*,*,*,N,0,*,SysEx,F0 02 F7\r\n";
    ASSERT_TRUE(readAsciiMapText(map, text, "m.txm", true, false).ok);
    ASSERT_EQ(map.items().size(), 2u);
    EXPECT_EQ(map.rows()[0].sysex, (Bytes{0xF0, 1, 0xF7}));
    EXPECT_EQ(map.rows()[1].sysex, (Bytes{0xF0, 2, 0xF7}));
    ASSERT_TRUE(readAsciiMapText(map, text, "m.txm", false, false).ok);
    ASSERT_EQ(map.items().size(), 1u);
    EXPECT_EQ(map.items()[0].sysexOffset, 4);
}

TEST(AsciiMapFile, FileErrorsAndAWrittenFileReadsBack) {
    DataMap map = mapOf({discardRow(MAP_CTRL)});
    std::string missing = homePath("missing.txm");
    EXPECT_EQ(readAsciiMap(map, missing, false, false).message,
              "File not found: '" + missing + "'");
    EXPECT_EQ(readAsciiMap(map, missing, false, true).message, "");
    EXPECT_EQ(readAsciiMap(map, cvx::testing::isolatedHome(), false, false).message,
              "Cannot read map file '" + cvx::testing::isolatedHome() + "'.");
    EXPECT_EQ(writeAsciiMap(map, homePath("no/such/folder.txm")).message,
              "File Creation Failed: '" + homePath("no/such/folder.txm") + "'");

    DataMap written = mapOf({sysexRow(MAP_NOTE_ON, {0xF0, 0xF7}), discardRow(MAP_CTRL)}, 0x17);
    ASSERT_TRUE(writeAsciiMap(written, homePath("m.txm")).ok);
    DataMap read;
    ASSERT_TRUE(readAsciiMap(read, homePath("m.txm"), false, false).ok);
    EXPECT_EQ(read.rows(), written.rows());
    EXPECT_EQ(read.options, 0x17);
}

} // namespace
} // namespace corvex::test
