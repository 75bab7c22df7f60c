#include "accelerators.h"
#include "command_ids.h"
#include "menu_resource.h"
#include "string_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace corvex {
namespace {

void collect(std::span<const MenuItem> items, std::vector<const MenuItem*>& out) {
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Kind::Command) {
            out.push_back(&item);
        } else if (item.kind == MenuItem::Kind::Popup) {
            EXPECT_FALSE(item.items.empty()) << item.text;
            collect(item.items, out);
        }
    }
}

std::vector<const MenuItem*> commandItems(std::span<const MenuItem> menu) {
    std::vector<const MenuItem*> out;
    collect(menu, out);
    return out;
}

TEST(MenuResourceTest, MenuBarHasTheSixPopupsWithTheWindowMenuFifth) {
    const auto menu = mainMenu();
    ASSERT_EQ(menu.size(), 6u);
    const std::vector<std::string> titles{"&File",    "&View",   "&Actions",
                                          "&Options", "&Window", "&Help"};
    for (std::size_t i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(menu[i].kind, MenuItem::Kind::Popup);
        EXPECT_EQ(menu[i].text, titles[i]);
    }
    EXPECT_EQ(menu[kWindowMenuIndex].text, "&Window");
}

TEST(MenuResourceTest, EveryCommandAppearsOnceWithItsTextAndHelp) {
    const auto items = commandItems(mainMenu());
    std::set<int> seen;
    for (const MenuItem* item : items) {
        EXPECT_TRUE(seen.insert(item->id).second) << "duplicate id " << item->id;
        EXPECT_FALSE(item->text.empty()) << item->id;
        EXPECT_FALSE(loadString(item->id).empty()) << "no help text for " << item->id;
    }
    // The full list of the menu bar's commands.
    const std::set<int> expected{
        33258, 33251, 33107, 33108, 33114, 33115, 33102,                      // File
        33121, 33151, 33125, 33124, 33172, 33261, 33921, 33122, 33123, 33126, // View
        33911, 33180, 33197, 33150,                                           //
        33200, 33220, 33148, 33147, 33181, 33182, 33183, 33253, 33110, 33252, // Actions
        33184, 33187,                                                         //
        33161, 33171, 33162, 33163, 33116, 33160, 33178, 33196, 33185, 33144, // Options
        33145, 33263, 33262, 33210, 33149, 33260, 33165, 33240, 33241, 33242, //
        33246,                                                                //
        33254, 33243, 33244, 33256, 33257,                                    // Window
        33166, 33167, 33168, 33269, 33268, 33101};                            // Help
    EXPECT_EQ(seen, expected);
}

TEST(MenuResourceTest, TextsMatchTheCommandsTheyRun) {
    const auto menu = mainMenu();
    ASSERT_NE(findMenuItem(menu, cmd::kPanicReset), nullptr);
    EXPECT_EQ(findMenuItem(menu, cmd::kPanicReset)->text, "&Panic Reset");
    EXPECT_EQ(findMenuItem(menu, cmd::kSendSysExFile)->text, "S&ysEx File....");
    EXPECT_EQ(findMenuItem(menu, cmd::kTileHorizontally)->text, "&Tile Horizontally\tAlt+F5");
    EXPECT_EQ(findMenuItem(menu, cmd::kMonitorOutputHex)->text, "Monitor O&utput: Hex");
    EXPECT_EQ(findMenuItem(menu, 12345), nullptr);
    // The tab-separated accelerator of each Window item is the one the accelerator table sends.
    for (const Accelerator& accelerator : kFrameAccelerators) {
        const MenuItem* item = findMenuItem(menu, accelerator.command);
        if (item) {
            const auto tab = item->text.find('\t');
            ASSERT_NE(tab, std::string_view::npos) << item->text;
            EXPECT_EQ(item->text.substr(tab + 1), accelerator.keys);
        } else {
            EXPECT_EQ(accelerator.command, cmd::kContextHelp); // F1 has no menu item
        }
    }
}

TEST(MenuResourceTest, MonitorPopupOffersDisplayClearAndClipboardCommands) {
    const auto items = commandItems(monitorPopupMenu());
    ASSERT_GE(items.size(), 4u);
    EXPECT_EQ(items[0]->id, cmd::kViewHexDisplay);
    EXPECT_EQ(items[1]->id, cmd::kClearMonitor);
    for (int id : {cmd::kMarkForClipboard, cmd::kCopyToClipboard, cmd::kMarkWindow, cmd::kCopyAll,
                   cmd::kStopDisplay}) {
        EXPECT_NE(findMenuItem(monitorPopupMenu(), id), nullptr) << id;
    }
}

TEST(StringTableTest, KnownStringsAndMissingOnes) {
    EXPECT_EQ(loadString(str::kProductCaption), "Corvex");
    EXPECT_EQ(loadString(str::kProfileFilter), "Profile (*.ini)|*.ini|All Files (*.*)|*.*|");
    EXPECT_EQ(loadString(str::kInputMonitorTitle), "Monitor - Input");
    EXPECT_EQ(loadString(cmd::kMidiFilter), "Choose MIDI data to Filter Out");
    EXPECT_EQ(loadString(str::kNoSysExOutput).substr(0, 22), "No Output Device is Se");
    EXPECT_TRUE(loadString(1).empty());
    EXPECT_TRUE(loadString(99999).empty());
    for (int id = str::kFirstToolbarName; id <= str::kLastToolbarName; ++id) {
        EXPECT_FALSE(loadString(id).empty()) << id;
    }
}

TEST(StringTableTest, FormatFillsPlaceholdersInOrder) {
    EXPECT_EQ(formatString("File not found: '%s'", {"/tmp/a b.syx"}),
              "File not found: '/tmp/a b.syx'");
    EXPECT_EQ(formatString("%s : %d", {"Corvex (64)"}, {2}), "Corvex (64) : 2");
    EXPECT_EQ(formatString("100%% of %d", {}, {7}), "100% of 7");
    EXPECT_EQ(formatString("%s and %s", {"one"}), "one and ");
    EXPECT_EQ(formatString("trailing %", {}), "trailing %");
    EXPECT_EQ(formatString("%x stays", {"unused"}), "%x stays");
}

} // namespace
} // namespace corvex
