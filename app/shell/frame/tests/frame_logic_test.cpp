// The frame's plain logic: reset messages, the title, command rules, window arrangement,
// the command table and the About dialog's button.
#include "button_dodge.h"
#include "command_ids.h"
#include "command_rules.h"
#include "command_table.h"
#include "frame_placement.h"
#include "frame_title.h"
#include "mdi_layout.h"
#include "reset_messages.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace corvex {
namespace {

std::vector<uint8_t> bytes(std::span<const uint8_t> span) {
    return {span.begin(), span.end()};
}

TEST(ResetMessagesTest, GmGsAndXgOnBytes) {
    EXPECT_EQ(bytes(resetMessageFor(cmd::kGmOn)),
              (std::vector<uint8_t>{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    EXPECT_EQ(
        bytes(resetMessageFor(cmd::kGsOn)),
        (std::vector<uint8_t>{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}));
    EXPECT_EQ(bytes(resetMessageFor(cmd::kXgOn)),
              (std::vector<uint8_t>{0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}));
    EXPECT_TRUE(resetMessageFor(cmd::kPanicReset).empty());
}

TEST(FrameTitleTest, InstanceNumberAndProfileName) {
    EXPECT_EQ(frameTitle(1, ""), "Corvex (64)");
    EXPECT_EQ(frameTitle(2, ""), "Corvex (64) : 2");
    EXPECT_EQ(frameTitle(1, "/home/u/profiles/studio.ini"), "Corvex (64) - studio.ini");
    EXPECT_EQ(frameTitle(3, "live.ini"), "Corvex (64) : 3 - live.ini");
}

TEST(CommandRulesTest, ToolWindowItemsAreGreyWhileOpen) {
    FrameState state;
    EXPECT_TRUE(commandEnabled(cmd::kControlPanel, state, true));
    state.openToolWindows.insert(cmd::kControlPanel);
    EXPECT_FALSE(commandEnabled(cmd::kControlPanel, state, true));
    EXPECT_TRUE(commandEnabled(cmd::kNrpnCalculator, state, true));
    EXPECT_FALSE(commandEnabled(cmd::kNrpnCalculator, state, false)); // nobody provides it
}

TEST(CommandRulesTest, SnapshotItemsNeedTheStatusViewAndSysExViewNeedsPassSysEx) {
    FrameState state;
    for (int id : {cmd::kLoadSnapshot, cmd::kSaveSnapshot, cmd::kSendSnapshot, cmd::kClearStatus}) {
        EXPECT_FALSE(commandEnabled(id, state, true)) << id;
    }
    state.midiStatusOpen = true;
    for (int id : {cmd::kLoadSnapshot, cmd::kSaveSnapshot, cmd::kSendSnapshot, cmd::kClearStatus}) {
        EXPECT_TRUE(commandEnabled(id, state, true)) << id;
    }
    state.passSysEx = false;
    EXPECT_FALSE(commandEnabled(cmd::kSysExView, state, true));
    state.passSysEx = true;
    EXPECT_TRUE(commandEnabled(cmd::kSysExView, state, true));
}

TEST(CommandRulesTest, ChecksAndTextFollowTheState) {
    FrameState state;
    state.inputHex = false;
    state.outputHex = true;
    state.keyboardActive = true;
    EXPECT_FALSE(commandChecked(cmd::kMonitorInputHex, state));
    EXPECT_TRUE(commandChecked(cmd::kMonitorOutputHex, state));
    EXPECT_TRUE(commandChecked(cmd::kKeyboard, state));
    EXPECT_EQ(commandText(cmd::kStopDisplay, state), "&Stop Display");
    state.displayRunning = false;
    EXPECT_EQ(commandText(cmd::kStopDisplay, state), "&Start Display");
    EXPECT_TRUE(commandText(cmd::kPanicReset, state).empty());
}

TEST(CommandTableTest, DispatchesByIdWithTheNotificationCode) {
    CommandTable table;
    std::vector<std::pair<int, int>> calls;
    table.add(33186, [&](int code) { calls.emplace_back(33186, code); });
    table.add(33147, [&](int code) { calls.emplace_back(33147, code); });
    EXPECT_TRUE(table.dispatch(33186, 1));
    EXPECT_TRUE(table.dispatch(33147));
    EXPECT_FALSE(table.dispatch(40000));
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{33186, 1}, {33147, 0}}));
    EXPECT_EQ(table.ids(), (std::vector<int>{33147, 33186}));
    // A handler that replaces itself while it runs.
    table.add(1, [&](int) { table.add(1, nullptr); });
    EXPECT_TRUE(table.dispatch(1));
    EXPECT_FALSE(table.dispatch(1));
}

TEST(MdiLayoutTest, TilesShareTheAreaWithoutGaps) {
    const Rect area{0, 0, 300, 100};
    EXPECT_EQ(tileRects(3, area, TileDirection::Horizontal),
              (std::vector<Rect>{{0, 0, 300, 33}, {0, 33, 300, 33}, {0, 66, 300, 34}}));
    EXPECT_EQ(tileRects(2, area, TileDirection::Vertical),
              (std::vector<Rect>{{0, 0, 150, 100}, {150, 0, 150, 100}}));
    EXPECT_TRUE(tileRects(0, area, TileDirection::Vertical).empty());
}

TEST(MdiLayoutTest, IconsLineUpAlongTheBottom) {
    const auto rects = iconRects(3, {0, 0, 250, 200}, 100, 30);
    EXPECT_EQ(rects,
              (std::vector<Rect>{{0, 170, 100, 30}, {100, 170, 100, 30}, {0, 140, 100, 30}}));
}

TEST(ButtonDodgeTest, RunsAwayFromAnApproachingCursorAndStaysInside) {
    const Rect dialog{0, 0, 400, 240};
    const Rect picture{10, 10, 64, 64};
    ButtonDodge dodge(dialog, picture, 7);
    const Rect button{300, 190, 80, 30};
    // Far away: nothing happens.
    EXPECT_EQ(dodge.react(button, {100, 100}, {90, 100}), button);
    // Coming from the left within reach: the button goes 20 pixels further right... unless
    // that leaves the dialog, when it jumps somewhere free instead.
    const Rect moved = dodge.react(button, {285, 200}, {280, 200});
    EXPECT_FALSE(moved == button);
    EXPECT_TRUE(within(moved, dialog));
    EXPECT_FALSE(intersects(moved, picture));

    const Rect middle{150, 100, 80, 30};
    EXPECT_EQ(dodge.react(middle, {140, 110}, {135, 110}), (Rect{170, 100, 80, 30}));
    EXPECT_EQ(dodge.react(middle, {160, 140}, {160, 145}), (Rect{150, 80, 80, 30}));
}

TEST(ButtonDodgeTest, JumpsAfterTenStepsAndNeverCoversThePicture) {
    const Rect dialog{0, 0, 2000, 240};
    const Rect picture{10, 10, 64, 64};
    ButtonDodge dodge(dialog, picture, 11);
    Rect button{100, 150, 80, 30};
    for (int step = 0; step < ButtonDodge::kMaxSteps; ++step) {
        const Rect next = dodge.react(button, {button.x - 5, 160}, {button.x - 10, 160});
        EXPECT_EQ(next.x, button.x + ButtonDodge::kStep);
        button = next;
    }
    for (int i = 0; i < 50; ++i) {
        button = dodge.react(button, {button.x - 5, button.y + 5}, {button.x - 10, button.y + 5});
        EXPECT_TRUE(within(button, dialog));
        EXPECT_FALSE(intersects(button, picture));
    }
}

TEST(FramePlacementTest, SavedRectanglesStayWhereAScreenShowsThemElseComeOntoOne) {
    const std::vector<Rect> screens = {{0, 0, 1280, 800}, {1280, 0, 1920, 1080}};
    struct Case {
        std::optional<Rect> saved;
        Rect expected;
    };
    const Case cases[] = {
        {std::nullopt, {213, 133, 853, 533}},                 // first start: 2/3, centred
        {Rect{20, 100, 0, 0}, {213, 133, 853, 533}},          // an empty size counts as none
        {Rect{20, 100, 530, 280}, {20, 100, 530, 280}},       // on the primary screen
        {Rect{1500, 200, 800, 600}, {1500, 200, 800, 600}},   // on the second screen
        {Rect{1240, 10, 300, 200}, {1240, 10, 300, 200}},     // across both
        {Rect{-280, 50, 300, 200}, {490, 300, 300, 200}},     // 20 pixels show: too few
        {Rect{-5000, -5000, 400, 300}, {440, 250, 400, 300}}, // off every screen
        {Rect{4000, 0, 3000, 2000}, {0, 0, 1280, 800}},       // too big for the primary
    };
    for (const Case& c : cases) {
        const Rect got = frameOpeningRect(c.saved, screens);
        EXPECT_EQ(got, c.expected) << (c.saved ? c.saved->x : -1);
        EXPECT_TRUE(reachableOnScreens(got, screens));
    }
    EXPECT_EQ(frameOpeningRect(Rect{5, 6, 70, 80}, {}), (Rect{5, 6, 70, 80}));
}

} // namespace
} // namespace corvex
