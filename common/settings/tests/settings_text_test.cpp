#include "settings/settings_text.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

SettingsTree sampleTree() {
    SettingsTree tree;
    tree.setDword("", "Migrated INI File", 1);
    tree.setQword("Instance Data", "hWnd 03", 0x8000000000000001ull);
    tree.setString("Options", "SysxDir", "/home/zoë/Musik \"neu\"\\dumps");
    tree.setString("Custom In Names", "Port=A;[x]\t\"q\"", "line\nbreak\r\x01\x7f");
    tree.setString("Custom In Names", "bad \xff utf8", "also \xc3 bad");
    tree.setBinary("Profile 1", "Filter", "\x00\x01\xff", 3);
    tree.setBinary("Profile 1", "Empty", "", 0);
    tree.createKey("DevicePresets\\Empty Preset]");
    return tree;
}

TEST(SettingsText, EveryValueTypeAndAwkwardNameReadsBackUnchanged) {
    SettingsTree tree = sampleTree();
    std::string text = formatSettingsText(tree);
    ParsedSettings parsed = parseSettingsText(text);
    EXPECT_TRUE(parsed.problems.empty()) << parsed.problems.front();
    EXPECT_EQ(parsed.tree, tree);
    EXPECT_EQ(formatSettingsText(parsed.tree), text);
    // One line per value: nothing the values hold breaks the line structure.
    EXPECT_EQ(text.find("line\nbreak"), std::string::npos);
}

TEST(SettingsText, NamesCompareWithoutRegardToCase) {
    ParsedSettings parsed = parseSettingsText("Corvex settings store 1\n"
                                              "[SOFTWARE\\corvex\\Options]\n"
                                              "\"Octave\"=dword:00000003\n");
    ASSERT_TRUE(parsed.problems.empty());
    EXPECT_EQ(parsed.tree.dword("options", "OCTAVE"), 3u);
    EXPECT_EQ(parsed.tree.subkeys(""), std::vector<std::string>{"Options"});
}

TEST(SettingsText, EmptyTextIsAnEmptyStore) {
    ParsedSettings parsed = parseSettingsText("");
    EXPECT_TRUE(parsed.problems.empty());
    EXPECT_TRUE(parsed.tree.empty());
}

TEST(SettingsText, SectionsOfOneKeyAreMerged) {
    ParsedSettings parsed = parseSettingsText("Corvex settings store 1\n"
                                              "[Software\\Corvex\\A]\n\"x\"=dword:1\n"
                                              "[Software\\Corvex\\B]\n\"y\"=dword:2\n"
                                              "[Software\\Corvex\\a]\n\"z\"=dword:3\n");
    EXPECT_TRUE(parsed.problems.empty());
    EXPECT_EQ(parsed.tree.valueNames("A"), (std::vector<std::string>{"x", "z"}));
}

// Each damaged text still yields its readable value "Keep" and reports a problem.
TEST(SettingsText, DamagedLinesAreReportedAndReadableValuesKept) {
    const std::string head = "Corvex settings store 1\n[Software\\Corvex\\K]\n\"Keep\"=dword:7\n";
    const std::vector<std::string> damaged = {
        std::string("garbage\0\x01\xff line\n", 16),
        "\"v\"=dword:123456789\n",            // nine digits
        "\"v\"=qword:\n",                     // no digits
        "\"v\"=hex:abc\n",                    // odd digit count
        "\"v\"=hex:zz\n",                     // not hex
        "\"v\"=\"unterminated\n",             // open quote
        "\"v\"=\"bad \\q escape\"\n",         // unknown escape
        "\"v\"=\"a\" trailing\n",             // text after the value
        "\"v\"=sz:text\n",                    // unknown type
        "\"Keep\"=dword:9\n",                 // repeats a name: the first wins
        "[Software\\Other]\n\"v\"=dword:1\n", // not a key of this store
        "[Software\\Corvex\\K\n",             // header without ']'
        "\"v\"=\"" + std::string(kMaxSettingsLineBytes, 'a') + "\"\n",      // over-long line
        "\"v\"=hex:" + std::string(2 * (kMaxSettingBytes + 1), '0') + "\n", // over-long value
    };
    for (const std::string& tail : damaged) {
        ParsedSettings parsed = parseSettingsText(head + tail);
        EXPECT_FALSE(parsed.problems.empty()) << tail.substr(0, 40);
        EXPECT_EQ(parsed.tree.dword("K", "Keep"), 7u) << tail.substr(0, 40);
    }
}

TEST(SettingsText, TextWithoutTheHeaderIsReportedButRead) {
    ParsedSettings parsed = parseSettingsText("[Software\\Corvex]\n\"a\"=dword:1\n");
    EXPECT_EQ(parsed.problems.size(), 1u);
    EXPECT_EQ(parsed.tree.dword("", "a"), 1u);
}

TEST(SettingsText, ProblemListStaysShortForBinaryFiles) {
    std::string binary;
    for (int i = 0; i < 5000; ++i) {
        binary += static_cast<char>(i * 7);
    }
    ParsedSettings parsed = parseSettingsText(binary);
    EXPECT_FALSE(parsed.problems.empty());
    EXPECT_LE(parsed.problems.size(), 11u);
}

} // namespace
} // namespace corvex
