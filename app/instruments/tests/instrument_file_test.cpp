// The instrument definition reader on small files made for each case, and on a real file
// written by another MIDI program.
#include "instruments/default_instruments.h"
#include "instruments/instrument_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace corvex {
namespace {

namespace fs = std::filesystem;

class InstrumentFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("cvx-ins-" + std::to_string(getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string write(const std::string& text, const std::string& name = "test.ins") {
        std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    fs::path folder_;
};

const char* const kSynth = R"(; a comment=not a patch
.Instrument Definitions

[Wild Generic]
Patch[*]=1..128

[No Patch Lines]
Control=Standard

[Sorted]
Patch[0]=A
Patch[2]=B
Patch[1]=C
Patch[2]=D
Patch[16384]=Too High
Patch[-1]=Negative
PatchX[3]=Not a patch key
Patch[7=Unclosed

[Method Two]
BankSelMethod=2
Patch[*]=0..127

[Method Five]
bankselmethod=4

.Patch Names

[Synth A]
BasedOn=General MIDI
0=Grand
128=Extra
a line without equals

[Self]
BasedOn=Self
5=Five

[General MIDI]
0=Acoustic Grand Piano
1=Bright Acoustic Piano
127=Gunshot

[Ring A]
1=A one
BasedOn=Ring B
3=A three

[Ring B]
2=B two
BasedOn=Ring A
3=B three

[No Patch Lines]
9=Own list

.patch names

[Hidden]
0=Never read
)";

TEST_F(InstrumentFileTest, BankListsAndMethodsOfTheEdgeCases) {
    std::string path = write(kSynth);
    struct Case {
        const char* instrument;
        int method;
        std::vector<std::pair<int, std::string>> banks;
        const char* wildcard; // nullptr: no wildcard
    };
    const Case cases[] = {
        {"Wild Generic", 1, {}, "Generic Patches (1..128)"},
        {"no patch lines", 1, {}, "no patch lines"},
        {"Sorted", 1, {{0, "A"}, {1, "C"}, {2, "D"}}, nullptr},
        {"Method Two", 3, {}, "Generic Patches (0..127)"},
        {"Method Five", 5, {}, "Method Five"},
        {"Absent", 1, {}, "Absent"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.instrument);
        CBankList banks;
        banks.count = 3; // stale content is emptied
        EXPECT_EQ(readBankList(path, c.instrument, banks), c.method);
        ASSERT_EQ(banks.count, static_cast<int>(c.banks.size()));
        for (int i = 0; i < banks.count; ++i) {
            EXPECT_EQ(banks.entries[i].bank, c.banks[i].first);
            EXPECT_EQ(banks.entries[i].listName, c.banks[i].second);
        }
        EXPECT_EQ(banks.wildcardBank, c.wildcard ? -1 : 0);
        EXPECT_EQ(banks.wildcardListName, c.wildcard ? c.wildcard : "");
    }
    CBankList banks;
    EXPECT_EQ(readBankList(path, "", banks), 1);
    EXPECT_EQ(banks.count, 0);
    EXPECT_EQ(banks.wildcardBank, 0);
}

TEST_F(InstrumentFileTest, PatchNamesWithBasedOnRingsAndGenericLists) {
    std::string path = write(kSynth);
    struct Case {
        const char* list;
        std::vector<std::tuple<int, std::string, int>> named; // patch, name, origin
        int namedCount;
    };
    const Case cases[] = {
        {"Synth A", {{0, "Grand", 0}, {1, "Bright Acoustic Piano", 1}, {127, "Gunshot", 1}}, 3},
        {"SELF", {{5, "Five", 0}}, 1},
        // The ring ends: B's own "BasedOn" back to A is cut, the names read so far stay.
        {"Ring A", {{1, "A one", 0}, {2, "B two", 1}, {3, "A three", 0}}, 3},
        {"Ring B", {{1, "A one", 1}, {2, "B two", 0}, {3, "B three", 0}}, 3},
        {"Generic Patches (1..128)", {{0, "1", 0}, {127, "128", 0}}, 128},
        {"Generic Patches (0..127)", {{0, "0", 0}, {127, "127", 0}}, 128},
        {"Unknown List", {}, 0},
        {"Hidden", {}, 0},
        {"No Patch Lines", {{9, "Own list", 0}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        CPatchList patches;
        patches.names.fill("stale");
        readPatchNames(path, c.list, patches);
        for (const auto& [patch, name, origin] : c.named) {
            EXPECT_EQ(patches.names[patch], name) << patch;
            EXPECT_EQ(patches.origin[patch], origin) << patch;
        }
        EXPECT_EQ(std::count_if(patches.names.begin(), patches.names.end(),
                                [](const std::string& n) { return !n.empty(); }),
                  c.namedCount);
    }
}

TEST_F(InstrumentFileTest, FilesWithoutPatchNamesOrUnreadableGiveEmptyResults) {
    std::string noNames = write(".Instrument Definitions\r\n[One]\r\nPatch[*]=0..127\r\n");
    CPatchList patches;
    patches.names.fill("stale");
    readPatchNames(noNames, "Generic Patches (0..127)", patches);
    EXPECT_EQ(patches.names[0], "");

    // An empty list name leaves the names as they are.
    patches.names.fill("kept");
    readPatchNames(noNames, "", patches);
    EXPECT_EQ(patches.names[64], "kept");

    std::string missing = (folder_ / "missing.ins").string();
    EXPECT_TRUE(listInstruments(missing).empty());
    CBankList banks;
    readBankList(missing, "One", banks);
    EXPECT_EQ(banks.count + banks.wildcardBank, 0);
    readPatchNames(missing, "Generic Patches (0..127)", patches);
    EXPECT_EQ(patches.names[0], "");
    EXPECT_EQ(listInstruments(noNames), std::vector<std::string>{"One"});
}

// Names come back as UTF-8, whether the file is UTF-8 or in the Windows Western code page.
TEST_F(InstrumentFileTest, NamesOfUtf8AndWindowsFilesComeBackAsUtf8) {
    struct Case {
        const char* name; // the instrument and its list, as the file spells it
        const char* patch;
        const char* instrument; // as UTF-8
        const char* patchName;
    };
    const Case cases[] = {
        {"Pi\xE9no", "Caf\xE9 \x80 \x81", "Pi\xC3\xA9no", "Caf\xC3\xA9 \xE2\x82\xAC \xC2\x81"},
        {"Pi\xC3\xA9no", "Caf\xC3\xA9", "Pi\xC3\xA9no", "Caf\xC3\xA9"},
        {"Piano", "Truncated \xC3", "Piano", "Truncated \xC3\x83"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.patchName);
        std::string path = write(std::string(".Instrument Definitions\n[") + c.name + "]\n" +
                                 ".Patch Names\n[" + c.name + "]\n0=" + c.patch + "\n");
        EXPECT_EQ(listInstruments(path), std::vector<std::string>{c.instrument});
        CBankList banks;
        readBankList(path, c.instrument, banks);
        CPatchList patches;
        readPatchNames(path, bankListName(banks, 0), patches);
        EXPECT_EQ(patches.names[0], c.patchName);
    }
}

TEST_F(InstrumentFileTest, LongLinesAreReadInPiecesAndTheNameListIsBounded) {
    // A 263-byte line: its first 256 bytes are one line, the rest "5=Tail" another.
    std::string longName(250, 'x');
    std::string text = ".Patch Names\n[L]\n1=" + longName + std::string(4, 'y') + "5=Tail\n";
    text += ".Instrument Definitions\n";
    for (int i = 0; i < 100; ++i) {
        text += "[Instrument with a rather long name " + std::to_string(i) + "]\n";
    }
    std::string path = write(text);
    CPatchList patches;
    readPatchNames(path, "L", patches);
    EXPECT_EQ(patches.names[1], longName + "yyyy");
    EXPECT_EQ(patches.names[5], "Tail");

    std::vector<std::string> names = listInstruments(path);
    size_t bytes = 1;
    for (const std::string& name : names) {
        bytes += name.size() + 1;
    }
    EXPECT_LE(bytes, 2048u);
    std::string next = "Instrument with a rather long name " + std::to_string(names.size());
    EXPECT_GT(bytes + next.size() + 1, 2048u) << "the list is filled as far as it goes";
    EXPECT_EQ(names.front(), "Instrument with a rather long name 0");
}

TEST_F(InstrumentFileTest, BankListStopsAt256Banks) {
    std::string text = ".Instrument Definitions\n[Big]\n";
    for (int bank = 300; bank > 0; --bank) {
        text += "Patch[" + std::to_string(bank) + "]=L" + std::to_string(bank) + "\n";
    }
    CBankList banks;
    readBankList(write(text), "Big", banks);
    ASSERT_EQ(banks.count, 256);
    EXPECT_EQ(banks.entries[0].bank, 45); // banks 300 down to 45 came first
    EXPECT_EQ(banks.entries[255].bank, 300);
    EXPECT_EQ(bankListName(banks, 100), "L100");
    EXPECT_EQ(bankListName(banks, 1), "");
    EXPECT_EQ(bankListName(banks, -1), "");
    banks.wildcardBank = -1;
    banks.wildcardListName = "W";
    EXPECT_EQ(bankListName(banks, 1), "W");
    EXPECT_EQ(bankListName(banks, -1), "W");
}

TEST_F(InstrumentFileTest, ListsOnlyVisibleInsFilesOfTheFolderItself) {
    write("", "b.ins");
    write("", "A.INS");
    write("", ".hidden.ins");
    write("", "notes.txt");
    fs::create_directories(folder_ / "dir.ins");
    fs::create_directories(folder_ / "sub");
    write("", "sub/deep.ins");
    EXPECT_EQ(listInstrumentFiles(folder_.string()), (std::vector<std::string>{"A.INS", "b.ins"}));
    EXPECT_TRUE(listInstrumentFiles((folder_ / "none").string()).empty());
}

// A real file written by another MIDI program, when installed (scripts/setup installs it).
TEST(InstrumentFileRealTest, ReadsTheDefinitionsOfAnotherProgram) {
    const std::string path = "/usr/share/vmpk/gmgsxg.ins";
    if (!fs::exists(path)) {
        GTEST_SKIP() << path << " is absent (Debian package vmpk; scripts/setup installs it)";
    }
    std::vector<std::string> instruments = listInstruments(path);
    EXPECT_NE(std::find(instruments.begin(), instruments.end(), "Roland GS"), instruments.end());
    EXPECT_NE(std::find(instruments.begin(), instruments.end(), "Yamaha XG"), instruments.end());

    CBankList banks;
    EXPECT_EQ(readBankList(path, "Roland GS", banks), 1);
    EXPECT_EQ(bankListName(banks, 8 << 7), "Roland GS Var #08");
    EXPECT_EQ(readBankList(path, "Roland GS Drums", banks), 2);

    CPatchList patches;
    readBankList(path, "General MIDI", banks);
    readPatchNames(path, bankListName(banks, 0), patches);
    EXPECT_EQ(patches.names[0], "Acoustic Grand Piano");
    EXPECT_EQ(std::count(patches.names.begin(), patches.names.end(), ""), 0);

    // A variation bank names only its own patches; the drum sets' "BasedOn" lines stand in
    // a section the reader does not use.
    readPatchNames(path, "Roland GS Var #08", patches);
    EXPECT_EQ(patches.names[0], "Piano 1w");
    EXPECT_EQ(patches.names[125], "Starship");
    EXPECT_EQ(patches.names[127], "");
    EXPECT_EQ(std::count(patches.names.begin(), patches.names.end(), ""), 128 - 37);
    readPatchNames(path, "Roland GS Room Set", patches);
    EXPECT_EQ(std::count(patches.names.begin(), patches.names.end(), ""), 128);
}

// The General MIDI definitions installed with the program, offered in an empty folder once.
TEST_F(InstrumentFileTest, InstalledGeneralMidiDefinitionsReachAnEmptyFolder) {
    fs::path source = fs::path(CVX_INSTRUMENT_DATA);
    fs::path user = folder_ / "Instr";
    ASSERT_EQ(provideDefaultInstruments(user.string(), source.string()), 1);
    EXPECT_EQ(provideDefaultInstruments(user.string(), source.string()), 0);
    fs::remove(user / "General MIDI.ins");
    write("mine", "Instr/mine.ins");
    EXPECT_EQ(provideDefaultInstruments(user.string(), source.string()), 0);
    EXPECT_EQ(listInstrumentFiles(user.string()), std::vector<std::string>{"mine.ins"});

    std::string path = (source / "General MIDI.ins").string();
    EXPECT_EQ(listInstruments(path),
              (std::vector<std::string>{"General MIDI", "General MIDI Drums"}));
    CBankList banks;
    EXPECT_EQ(readBankList(path, "General MIDI", banks), 1);
    CPatchList patches;
    readPatchNames(path, bankListName(banks, 5), patches);
    EXPECT_EQ(std::count(patches.names.begin(), patches.names.end(), ""), 0);
    EXPECT_EQ(patches.names[0], "Acoustic Grand Piano");
    EXPECT_EQ(patches.names[127], "Gunshot");
    readBankList(path, "General MIDI Drums", banks);
    readPatchNames(path, bankListName(banks, 0), patches);
    EXPECT_EQ(patches.names[25], "Analog Set");
}

} // namespace
} // namespace corvex
