// What the instrument panel sends and shows for the choices a user makes, and the
// favourites in the settings store.
#include "instruments/instrument_panel.h"

#include "panel_fixture.h"
#include "settings/folders.h"
#include "settings/settings_profile.h"
#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

namespace corvex {
namespace {

using Bytes = std::vector<uint8_t>;

class InstrumentPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(settingsStorePath());
        options_.instrumentFolder = folder_.path();
        panel_.setSender([this](uint8_t status, uint8_t channel, uint8_t d1, uint8_t d2) {
            sent_.insert(sent_.end(), {static_cast<uint8_t>(status | channel), d1, d2});
        });
        panel_.setNameSink([this](int channel, const CPatchList& names) {
            namedChannels_.push_back(channel);
            lastNames_ = names;
        });
        panel_.files();
    }

    Bytes take() { return std::exchange(sent_, {}); }

    testing::PanelFolder folder_;
    GlobalOptions options_;
    SettingsStore store_;
    CInstrPanel panel_{options_, store_};
    Bytes sent_;
    std::vector<int> namedChannels_;
    CPatchList lastNames_;
};

TEST_F(InstrumentPanelTest, EachMethodSendsItsBankSelectAndProgramChange) {
    struct Case {
        const char* instrument;
        int method; // -1: the instrument's own
        Bytes bytes;
    };
    const Case cases[] = {
        {"Normal Synth", -1, {0xB0, 0, 1, 0xB0, 32, 1, 0xC0, 5, 0}},
        {"Zero Synth", -1, {0xB0, 0, 1, 0xC0, 5, 0}},
        {"ThirtyTwo Synth", -1, {0xB0, 32, 1, 0xC0, 5, 0}},
        {"Normal Synth", kMethodNone, {0xC0, 5, 0}},
        {"Odd Synth", -1, {}}, // BankSelMethod=7: a method the panel does not know
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.instrument + std::to_string(c.method));
        panel_.chooseInstrument(c.instrument);
        if (c.method >= 0) {
            panel_.setMethod(c.method);
        }
        panel_.setChannelState(0, -1, 5);
        int bank129 = panel_.banks().count > 1 ? 1 : 0;
        take();
        panel_.chooseBank(bank129);
        if (panel_.banks().count == 0) { // only a wildcard: the bank comes from outside
            panel_.setChannelState(0, 129, 5);
            panel_.sendBankAndPatch();
        }
        EXPECT_EQ(take(), c.bytes);
    }
    panel_.chooseInstrument("Normal Synth");
    EXPECT_EQ(panel_.method(), kMethodNormal);
    panel_.chooseBank(1);
    EXPECT_EQ(panel_.bankLabel(), "Variations");
    EXPECT_EQ(panel_.patchLabel(), "Fretless Bass");
}

TEST_F(InstrumentPanelTest, MixedAndEmptySelectionsSendNothingUntilABankIsChosen) {
    panel_.chooseInstrument("Normal Synth");
    panel_.setChannelState(0, 0, 5);
    panel_.setChannelState(1, 129, 5);
    panel_.setChannelSelected(1, true);
    EXPECT_EQ(panel_.bankLabel(), "Indeterminate");
    take();
    panel_.sendBankAndPatch();
    EXPECT_TRUE(take().empty());

    panel_.chooseBank(0);
    EXPECT_EQ(take(), (Bytes{0xB0, 0, 0, 0xB0, 32, 0, 0xC0, 5, 0, //
                             0xB1, 0, 0, 0xB1, 32, 0, 0xC1, 5, 0}));
    EXPECT_EQ(panel_.bankLabel(), "Main");
    EXPECT_EQ(panel_.patchLabel(), "Soft Keys");

    // Patch names reach the monitors' table of both selected channels before sending.
    EXPECT_EQ(namedChannels_, (std::vector<int>{0, 1}));
    EXPECT_EQ(lastNames_.names[5], "Soft Keys");

    panel_.selectNone();
    EXPECT_EQ(panel_.bankLabel(), "None");
    EXPECT_EQ(panel_.patchLabel(), "None");
    panel_.sendBankAndPatch();
    panel_.sendPatch();
    panel_.choosePatch(3);
    EXPECT_TRUE(take().empty());
}

TEST_F(InstrumentPanelTest, PatchWithoutKnownBankSendsProgramChangeOnly) {
    panel_.chooseInstrument("Normal Synth");
    panel_.choosePatch(7);
    EXPECT_EQ(take(), (Bytes{0xC0, 7, 0}));
    // A program change seen with a bank select loads that bank's list.
    panel_.patchSeen(0, 0x8000 | 129, 5);
    EXPECT_EQ(panel_.bankLabel(), "Variations");
    EXPECT_EQ(panel_.patchLabel(), "Fretless Bass");
    panel_.patchSeen(0, -1, 0); // no bank word: the bank stays
    EXPECT_EQ(panel_.bankOf(0), 129);
    EXPECT_EQ(panel_.patchLabel(), "Grand");
}

TEST_F(InstrumentPanelTest, FavouritesAreStoredRecalledAndRemoved) {
    panel_.chooseInstrument("Normal Synth");
    panel_.setChannelState(0, 129, 5);
    panel_.chooseBank(1);
    ASSERT_EQ(panel_.favouriteSuggestion(), "Fretless Bass");
    for (const char* name : {"One", "Two", "Three", "Four", "Five"}) {
        ASSERT_TRUE(panel_.addFavourite(name));
    }
    EXPECT_FALSE(panel_.addFavourite("Back\\slash"));
    EXPECT_TRUE(panel_.addFavourite("two")); // replaces "Two"
    EXPECT_EQ(panel_.favourites().count(), 5);

    // Another run reads them back.
    GlobalOptions otherOptions;
    otherOptions.instrumentFolder = folder_.path();
    CInstrPanel again(otherOptions, store_);
    Bytes sent;
    again.setSender([&](uint8_t status, uint8_t channel, uint8_t d1, uint8_t d2) {
        sent.insert(sent.end(), {static_cast<uint8_t>(status | channel), d1, d2});
    });
    again.readFavourites();
    ASSERT_EQ(again.favourites().count(), 5);
    EXPECT_EQ(again.favouriteLabel(), "None");
    again.recallFavourite(again.favourites().find("Four"));
    EXPECT_EQ(again.instrument(), "Normal Synth");
    EXPECT_EQ(sent, (Bytes{0xB0, 0, 1, 0xB0, 32, 1, 0xC0, 5, 0}));
    EXPECT_EQ(again.favouriteLabel(), "Four");

    // Removing the third deletes exactly that one, in the store and the list.
    auto namesOf = [](const CFavList& list) {
        std::vector<std::string> names;
        for (const CFavorite& favourite : list.items()) {
            names.push_back(favourite.name);
        }
        return names;
    };
    std::vector<std::string> expected = namesOf(again.favourites());
    expected.erase(expected.begin() + 2);
    ASSERT_TRUE(again.removeFavourite(2));
    CFavList stored;
    stored.read(store_);
    EXPECT_EQ(namesOf(stored), expected);
    EXPECT_EQ(namesOf(again.favourites()), expected);
    EXPECT_EQ(again.favourites().count(), 4);
    EXPECT_EQ(again.favouriteLabel(), "Four");
}

TEST_F(InstrumentPanelTest, FavouriteOfAMissingFileChangesNothing) {
    panel_.chooseInstrument("Zero Synth");
    panel_.setChannelState(0, 0, 0);
    panel_.chooseBank(0);
    ASSERT_TRUE(panel_.addFavourite("Gone"));
    CFavorite gone = panel_.favourites().items()[0];
    gone.insFile = "removed.ins";
    store_.writeString("Favorite Patches\\Gone", "INS File", gone.insFile);
    panel_.readFavourites();
    panel_.chooseInstrument("ThirtyTwo Synth");
    take();
    panel_.recallFavourite(0);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(panel_.instrument(), "ThirtyTwo Synth");
    EXPECT_EQ(panel_.method(), kMethodController32);
}

// The folder edit: a folder that exists is taken, anything else refused; an empty text
// brings back the folder the setting starts with.
TEST_F(InstrumentPanelTest, FolderTextChoosesTheInstrumentFolder) {
    struct Case {
        std::string text;
        std::string folder;
        bool taken;
    };
    const std::string mine = folder_.path();
    const Case cases[] = {
        {mine + "/no such folder", mine, false},
        {"", dataFolder(), true},
        {mine, mine, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(panel_.setFolder(c.text), c.taken);
        EXPECT_EQ(panel_.folder(), c.folder);
        EXPECT_TRUE(std::filesystem::is_directory(panel_.folder()));
    }
    EXPECT_EQ(panel_.insFile(), "synths.ins");
}

// Patches chosen by name from a real file of another program: each instrument's banks leave
// as that module expects them.
TEST(InstrumentPanelRealFileTest, ChoosingNamedPatchesOfARealFileSendsTheirBanks) {
    const std::string folder = "/usr/share/vmpk";
    if (!std::filesystem::exists(folder + "/gmgsxg.ins")) {
        GTEST_SKIP() << folder << "/gmgsxg.ins is absent (Debian package vmpk; scripts/setup "
                     << "installs it)";
    }
    struct Case {
        const char* instrument;
        int bank;
        const char* list;
        const char* patch;
        Bytes bytes;
    };
    const Case cases[] = {
        {"Roland GS", 1024, "Roland GS Var #08", "Piano 1w", {0xB0, 0, 8, 0xB0, 32, 0, 0xC0, 0, 0}},
        {"Yamaha XG", 8, "XG Bank 8 (Slow)", "49 SlowStr", {0xB0, 0, 0, 0xB0, 32, 8, 0xC0, 48, 0}},
        {"Roland GS Drums", 0, "Roland GS Drumsets", "Room", {0xB0, 0, 0, 0xC0, 8, 0}},
    };
    GlobalOptions options;
    options.instrumentFolder = folder;
    options.instrumentFile = "gmgsxg.ins";
    SettingsStore store;
    CInstrPanel panel(options, store);
    Bytes sent;
    panel.setSender([&](uint8_t status, uint8_t channel, uint8_t d1, uint8_t d2) {
        sent.insert(sent.end(), {static_cast<uint8_t>(status | channel), d1, d2});
    });
    panel.files();
    panel.chooseFile("gmgsxg.ins");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.instrument);
        panel.chooseInstrument(c.instrument);
        const CBankList& banks = panel.banks();
        auto entry = std::find_if(banks.entries.begin(), banks.entries.begin() + banks.count,
                                  [&](const CBankList::Entry& e) { return e.bank == c.bank; });
        ASSERT_NE(entry, banks.entries.begin() + banks.count);
        panel.setChannelState(0, -1, -1);
        panel.chooseBank(static_cast<int>(entry - banks.entries.begin()));
        EXPECT_EQ(panel.bankLabel(), c.list);
        const auto& names = panel.patches().names;
        auto named = std::find(names.begin(), names.end(), c.patch);
        ASSERT_NE(named, names.end());
        sent.clear();
        panel.choosePatch(static_cast<int>(named - names.begin()));
        EXPECT_EQ(sent, c.bytes);
        EXPECT_EQ(panel.patchLabel(), c.patch);
    }
}

TEST(FavouriteStorageTest, BankPatchPacksPatchBankAndMethod) {
    struct Case {
        int method, bank, patch;
        uint32_t packed;
    };
    const Case cases[] = {
        {1, 129, 5, 0x01008105},
        {3, 16382, 127, 0x033FFE7F},
        {0, -1, 0, 0x003FFF00}, // no bank known: 16383, read back as none
    };
    for (const Case& c : cases) {
        CFavorite favourite{"n", "f.ins", "i", c.method, c.bank, c.patch};
        EXPECT_EQ(packBankPatch(favourite), c.packed);
        CFavorite back;
        unpackBankPatch(c.packed, back);
        EXPECT_EQ(back.method, c.method);
        EXPECT_EQ(back.bank, c.bank);
        EXPECT_EQ(back.patch, c.patch);
    }
}

} // namespace
} // namespace corvex
