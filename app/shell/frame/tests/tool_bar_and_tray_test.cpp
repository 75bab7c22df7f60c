// The toolbar's buttons and stored layout, and the tray icon's rules, without a display.
#include "command_ids.h"
#include "command_rules.h"
#include "string_table.h"
#include "tool_bar_buttons.h"
#include "tool_bar_layout.h"
#include "tray_icon_rules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

namespace corvex {
namespace {

namespace fs = std::filesystem;

// Every picture of the strip is used exactly once: by a slot, as a toggle's other state, or
// as the keyboard's flashing picture. A wrong index would show another button's picture.
TEST(ToolBarButtonsTest, SlotsAndTogglesUseEveryPictureOnce) {
    std::multiset<int> used;
    std::vector<size_t> separators;
    for (size_t pos = 0; pos < toolBarButtons().size(); ++pos) {
        const ToolBarButton& button = toolBarButtons()[pos];
        if (button.command == kToolBarSeparator) {
            separators.push_back(pos);
            EXPECT_EQ(button.image, -1);
            EXPECT_EQ(loadString(button.nameId), "SEP");
            continue;
        }
        used.insert(button.image);
        EXPECT_FALSE(toolBarButtonName(button.command).empty()) << button.command;
        EXPECT_FALSE(loadString(button.command).empty()) << "tooltip of " << button.command;
        if (hasTogglePictures(button.command)) {
            const int other = toolBarImage(button.command, false) == button.image
                                  ? toolBarImage(button.command, true)
                                  : toolBarImage(button.command, false);
            used.insert(other);
        }
    }
    used.insert(kKeyboardDarkImage);
    EXPECT_EQ(separators, (std::vector<size_t>{0, 4, 10, 18, 23, 27, 32}));
    std::multiset<int> every;
    for (int image = 0; image < kToolBarImageCount; ++image) {
        every.insert(image);
    }
    EXPECT_EQ(used, every);
}

TEST(ToolBarButtonsTest, TogglesShowTheirStateAndOthersTheirSlotPicture) {
    struct Case {
        int command;
        bool on;
        int image;
    };
    const Case cases[] = {
        {cmd::kStopDisplay, true, 9},     {cmd::kStopDisplay, false, 18},
        {cmd::kPassSysEx, true, 13},      {cmd::kPassSysEx, false, 17},
        {cmd::kReleaseMidi, true, 16},    {cmd::kReleaseMidi, false, 12},
        {cmd::kAlwaysOnTop, true, 11},    {cmd::kAlwaysOnTop, false, 15},
        {cmd::kMinimizeInTray, true, 24}, {cmd::kMinimizeInTray, false, 25},
        {cmd::kKeyboard, true, 20},       {cmd::kKeyboard, false, 5},
        {cmd::kMidiFilter, true, 6},      {cmd::kMidiFilter, false, 6},
        {cmd::kMainMonitor, false, 34},   {cmd::kAbout, false, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toolBarImage(c.command, c.on), c.image) << c.command << " " << c.on;
    }
    EXPECT_EQ(toolBarButtonName(cmd::kMinimizeInTray), "Toggle TaskBar Tray");
    EXPECT_EQ(toolBarButtonName(cmd::kAbout), "");
}

std::vector<uint8_t> stored(std::initializer_list<int> commands, size_t count) {
    std::vector<uint8_t> bytes{'C', 'V', 'T', 'B', 1, static_cast<uint8_t>(count)};
    for (int command : commands) {
        bytes.push_back(static_cast<uint8_t>(command & 0xFF));
        bytes.push_back(static_cast<uint8_t>(command >> 8));
    }
    return bytes;
}

TEST(ToolBarLayoutTest, StoredLayoutsReadBackAndDamagedOnesAreRefused) {
    const ToolBarLayout custom{cmd::kPanicReset,  kToolBarSeparator, cmd::kKeyboard,
                               kToolBarSeparator, kToolBarSeparator, cmd::kLog};
    for (const ToolBarLayout& layout : {custom, defaultToolBarLayout(), ToolBarLayout{}}) {
        EXPECT_EQ(decodeToolBarLayout(encodeToolBarLayout(layout)), layout);
    }
    std::vector<uint8_t> wrongVersion = stored({cmd::kLog}, 1);
    wrongVersion[4] = 2;
    std::vector<uint8_t> tooMany = stored({}, kMaxToolBarLayoutButtons + 1);
    tooMany.resize(6 + 2 * (kMaxToolBarLayoutButtons + 1));
    const std::vector<std::vector<uint8_t>> refused = {
        {},
        {'C', 'V', 'T'},
        {'X', 'V', 'T', 'B', 1, 0},
        wrongVersion,
        stored({cmd::kLog}, 2),                 // count larger than the bytes
        stored({cmd::kLog, cmd::kKeyboard}, 1), // bytes after the last button
        [] {
            auto odd = stored({cmd::kLog}, 1);
            odd.push_back(0);
            return odd;
        }(),
        tooMany,
    };
    for (const auto& bytes : refused) {
        EXPECT_EQ(decodeToolBarLayout(bytes), std::nullopt) << bytes.size();
    }
}

// A layout from another version may hold buttons this one has not: they go, as do second
// copies of a button; separators may repeat.
TEST(ToolBarLayoutTest, UnknownAndRepeatedButtonsAreDropped) {
    EXPECT_EQ(decodeToolBarLayout(stored(
                  {cmd::kLog, 40000 & 0xFFFF, cmd::kAbout, 0, 0, cmd::kLog, cmd::kPanicReset}, 7)),
              (ToolBarLayout{cmd::kLog, 0, 0, cmd::kPanicReset}));
    ToolBarLayout huge(200, kToolBarSeparator);
    EXPECT_EQ(keptToolBarButtons(huge).size(), kMaxToolBarLayoutButtons);
    EXPECT_EQ(decodeToolBarLayout(encodeToolBarLayout(huge))->size(), kMaxToolBarLayoutButtons);
}

TEST(ToolBarLayoutTest, TheDialogOffersASeparatorAndEveryButtonNotShown) {
    ToolBarLayout shown = defaultToolBarLayout();
    EXPECT_EQ(addableToolBarButtons(shown), ToolBarLayout{kToolBarSeparator});
    shown.erase(std::remove_if(shown.begin(), shown.end(),
                               [](int c) { return c == cmd::kPanicReset || c == cmd::kLog; }),
                shown.end());
    EXPECT_EQ(addableToolBarButtons(shown),
              (ToolBarLayout{kToolBarSeparator, cmd::kLog, cmd::kPanicReset}));
}

TEST(TrayRulesTest, TipCountsBothDirectionsAndReadsNoneWhileReleased) {
    struct Case {
        int instance, inputs, outputs;
        bool released;
        const char* tip;
    };
    const Case cases[] = {
        {1, 0, 0, false, "Corvex In: None, Out: None"},
        {1, 1, 2, false, "Corvex In: 1 Device, Out: 2 Devices"},
        {1, 3, 1, true, "Corvex In: None, Out: None"},
        {2, 12, 1, false, "Corvex:2 In: 12 Devices, Out: 1 Device"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(trayTipText(c.instance, c.inputs, c.outputs, c.released), c.tip);
    }
}

TEST(TrayRulesTest, MenuFollowsTheFrameAndTheMap) {
    TrayMenuState state;
    state.frameHidden = true;
    state.globalMapOn = true;
    std::vector<TrayMenuItem> items = trayMenuItems(state);
    ASSERT_EQ(items.size(), 9u);
    std::vector<int> commands;
    for (const TrayMenuItem& item : items) {
        commands.push_back(item.command);
    }
    EXPECT_EQ(commands, (std::vector<int>{cmd::kShowHide, cmd::kReleaseMidi, cmd::kGlobalDataMap, 0,
                                          cmd::kGmOn, cmd::kGsOn, cmd::kXgOn, 0, cmd::kExit}));
    EXPECT_EQ(items[0].text, "S&how Corvex");
    EXPECT_TRUE(items[0].isDefault);
    EXPECT_EQ(items[1].text, "&Release MIDI");
    EXPECT_TRUE(items[2].checked);
    EXPECT_FALSE(items[2].enabled); // no entries in the map

    state = {false, true, false, true, 3};
    items = trayMenuItems(state);
    EXPECT_EQ(items[0].text, "&Hide Corvex:3");
    EXPECT_EQ(items[1].text, "&Attach MIDI");
    EXPECT_FALSE(items[2].checked);
    EXPECT_TRUE(items[2].enabled);
}

// Without a tray the frame never hides: minimising stays minimising and no icon is wanted.
TEST(TrayRulesTest, IconAndHidingFollowTheOptionsOnlyWhereATrayExists) {
    struct Case {
        bool available, minimizeToTray, alwaysInTray, hidden;
        bool hides, iconShown;
    };
    const Case cases[] = {
        {true, false, false, false, false, false}, {true, true, false, false, true, false},
        {true, true, false, true, true, true},     {true, false, true, false, false, true},
        {false, true, true, true, false, false},   {false, true, false, false, false, false},
    };
    for (const Case& c : cases) {
        FrameState state;
        state.trayAvailable = c.available;
        state.minimizeToTray = c.minimizeToTray;
        state.alwaysInTray = c.alwaysInTray;
        EXPECT_EQ(hidesIntoTray(state), c.hides);
        EXPECT_EQ(trayIconShown(state, c.hidden), c.iconShown);
        // The options are greyed, keeping their stored state, and say why.
        for (int id : {cmd::kMinimizeInTray, cmd::kAlwaysInTray}) {
            EXPECT_EQ(commandEnabled(id, state, true), c.available);
            EXPECT_EQ(std::string(commandText(id, state)).ends_with("(no system tray)"),
                      !c.available);
        }
        EXPECT_EQ(commandChecked(cmd::kMinimizeInTray, state), c.minimizeToTray);
        EXPECT_EQ(commandChecked(cmd::kAlwaysInTray, state), c.alwaysInTray);
    }
    EXPECT_EQ(trayLeftClick(true), TrayClick::RestoreFrame);
    EXPECT_EQ(trayLeftClick(false), TrayClick::HideFrame);
}

class TrayFramesTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(std::getenv("HOME")) /
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(folder_);
    }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }
    std::vector<std::string> frames(int instance, const std::string& refused = {}) {
        return trayIconFramePaths(folder_.string(), instance,
                                  [&](const std::string& path) { return path != refused; });
    }
    std::string at(const std::string& name) { return (folder_ / name).string(); }
    fs::path folder_;
};

TEST_F(TrayFramesTest, FramesComeFromTheProgramFolderUpToTheFirstUnusableKey) {
    EXPECT_TRUE(frames(1).empty()); // no CORVEX.INI: the built-in pictures
    write("a.png", "a");
    write("b.png", "b");
    write("d.png", "d");
    write("CORVEX.INI", "[Instance1]\nTrayIcon0=a.png\nTrayIcon1=b.png\n"
                        "[Instance2]\nTrayIcon1=a.png\n"
                        "[Instance3]\nTrayIcon0=a.png\nTrayIcon1=c.png\nTrayIcon2=d.png\n"
                        "[Instance4]\nTrayIcon0=" +
                            at("d.png") + "\nTrayIcon1=b.png\nTrayIcon2=a.png\n");
    EXPECT_EQ(frames(1), (std::vector<std::string>{at("a.png"), at("b.png")}));
    EXPECT_TRUE(frames(2).empty());                              // no key 0
    EXPECT_EQ(frames(3), std::vector<std::string>{at("a.png")}); // c.png is missing
    EXPECT_EQ(frames(4, at("a.png")),                            // a.png does not load
              (std::vector<std::string>{at("d.png"), at("b.png")}));
}

TEST(TrayAnimationTest, StepsThroughEveryFrameButNotFasterThanItsInterval) {
    TrayAnimation four(4);
    std::vector<int> shown;
    for (int i = 0; i < 5; ++i) {
        shown.push_back(four.advance());
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 0, 1}));
    EXPECT_EQ(TrayAnimation(0).frameCount(), 1);

    TrayAnimation paced(4);
    struct Step {
        int64_t at;
        bool moves;
    };
    const Step steps[] = {{1000, true}, {1050, false}, {1124, false},
                          {1125, true}, {1300, true},  {900, true} /* the clock went back */,
                          {901, false}};
    for (const Step& step : steps) {
        EXPECT_EQ(paced.activity(step.at), step.moves) << step.at;
    }
    EXPECT_EQ(paced.current(), 0); // four moves
}

} // namespace
} // namespace corvex
