#include "views/colour_dialog.h"

#include <QColorDialog>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace corvex {
namespace {

class ColourDialogTest : public ::testing::Test {
protected:
    ColourDialogTest()
        : dialog(
              start, defaultColours(), BackgroundPicture{1, "/tmp/old.bmp"},
              [this](const ColourScheme& c) { applied.push_back(c); },
              [this](const BackgroundPicture& p) { pictures.push_back(p); }) {}

    static ColourScheme startColours() {
        ColourScheme colours;
        colours.fill(rgbColour(1, 2, 3));
        return colours;
    }

    const ColourScheme start = startColours();
    std::vector<ColourScheme> applied;
    std::vector<BackgroundPicture> pictures;
    ColourDialog dialog;
};

TEST_F(ColourDialogTest, EditedColourFollowsAtOnceAndIsAppliedAfterAPause) {
    dialog.show();
    dialog.selectItem(kNoteOnColour);
    dialog.changeColour();
    QColorDialog* picker = dialog.colourPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->windowTitle(), "Color - MIDI Note On");

    picker->setCurrentColor(QColor(10, 20, 30));
    picker->setCurrentColor(QColor(40, 50, 60));
    EXPECT_EQ(dialog.colours()[kNoteOnColour], rgbColour(40, 50, 60));
    EXPECT_TRUE(applied.empty()) << "applied only after the edits pause";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !applied.empty(); }, 5000));
    EXPECT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied.back()[kNoteOnColour], rgbColour(40, 50, 60));

    picker->reject();
    EXPECT_EQ(dialog.colours()[kNoteOnColour], rgbColour(1, 2, 3)) << "cancel restores the item";
    EXPECT_EQ(dialog.colourPicker(), nullptr);

    dialog.changeColour();
    dialog.colourPicker()->setCurrentColor(QColor(7, 8, 9));
    dialog.colourPicker()->accept();
    dialog.accept();
    EXPECT_EQ(applied.back()[kNoteOnColour], rgbColour(7, 8, 9)) << "OK applies what is pending";
}

TEST_F(ColourDialogTest, ResetAppliesDefaultsAndCancelRestoresEverything) {
    dialog.resetDefaults();
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied.back(), defaultColours());

    dialog.findChild<QRadioButton*>("picture503")->click();
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures.back().mode, 0);

    dialog.reject();
    EXPECT_EQ(applied.back(), start);
    EXPECT_EQ(pictures.back(), (BackgroundPicture{1, "/tmp/old.bmp"}));
    EXPECT_EQ(dialog.colours(), start);
}

TEST_F(ColourDialogTest, ReopeningRestoresTheLastSelection) {
    dialog.selectItem(kFirstChannelColour + 2);
    dialog.accept();
    ColourDialog again(start, defaultColours(), {}, {}, {});
    EXPECT_EQ(again.selectedItem(), kFirstChannelColour + 2);
}

} // namespace
} // namespace corvex
