// The instrument panel window offscreen on a real engine client: what choosing a bank and a
// patch puts on a loopback cable, for each bank select method, and favourites that survive a
// restart of the panel.
#include "instruments/ui/instrument_panels.h"

#include "devices/patch_name_table.h"
#include "event_tap.h"
#include "panel_fixture.h"
#include "settings/folders.h"
#include "settings/settings_profile.h"
#include "settings/settings_store.h"
#include "support/qt_test_environment.h"

#include <QComboBox>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

namespace corvex {
namespace {

using Bytes = std::vector<uint8_t>;
[[maybe_unused]] const auto* const qt = testing::addQtTestEnvironment();

class InstrumentPanelWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(settingsStorePath());
        options_.instrumentFolder = folder_.path();
        ASSERT_TRUE(tap_.ready()) << "no loopback cable to send to";
        panels_ = std::make_unique<InstrumentPanels>(options_, store_);
        panels_->setNameTable(&names_);
        panels_->open(tap_.client(), nullptr);
        ASSERT_NE(panels_->window(), nullptr);
    }
    void TearDown() override { panels_.reset(); }

    void chooseInstrument(const char* name) {
        panels_->window()->instrumentBox()->setCurrentText(name);
    }
    // The bank menu's entry for bank 129, the patch menu's entry for patch 5.
    void chooseBankAndPatch() {
        QMenu* banks = panels_->window()->bankMenu();
        ASSERT_EQ(banks->actions().size(), 2);
        banks->actions()[1]->trigger();
        for (QAction* action : panels_->window()->patchMenu()->actions()) {
            if (action->text() == "Fretless Bass") {
                action->trigger();
            }
        }
    }

    testing::PanelFolder folder_;
    testing::EventTap tap_;
    GlobalOptions options_;
    SettingsStore store_;
    PatchNameTable names_;
    std::unique_ptr<InstrumentPanels> panels_;
};

TEST_F(InstrumentPanelWindowTest, ChoosingAPatchOnABankSendsEachMethodsBytes) {
    struct Case {
        const char* instrument;
        const char* method; // nullptr: the instrument's own
        Bytes bytes;
    };
    const Case cases[] = {
        {"Normal Synth", nullptr, {0xB0, 0, 1, 0xB0, 32, 1, 0xC0, 5}},
        {"Zero Synth", nullptr, {0xB0, 0, 1, 0xC0, 5}},
        {"ThirtyTwo Synth", nullptr, {0xB0, 32, 1, 0xC0, 5}},
        {"Normal Synth", "--None--", {0xC0, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.instrument);
        chooseInstrument(c.instrument);
        if (c.method != nullptr) {
            QComboBox* methods = panels_->window()->methodBox();
            methods->setCurrentText(c.method);
            emit methods->activated(methods->currentIndex());
        }
        panels_->panel().setChannelState(0, -1, 0);
        chooseBankAndPatch();
        Bytes sent = tap_.take();
        // The bank menu sends patch 0 on the new bank first; the patch menu then patch 5.
        Bytes expected = c.bytes;
        expected[expected.size() - 1] = 0;
        expected.insert(expected.end(), c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(sent, expected);
    }
    EXPECT_EQ(panels_->window()->bankButton()->text(), "Variations");
    EXPECT_EQ(panels_->window()->patchButton()->text(), "Fretless Bass");
    // The monitors now name channel 1's programs as the instrument does.
    EXPECT_EQ(names_.name(0, 5), "Fretless Bass");
    EXPECT_EQ(names_.name(1, 5), "Electric Piano 2") << "other channels keep General MIDI";
}

// Names a list inherits through "BasedOn" are drawn in their own bluish colour, the list's
// own names in the menu's text colour.
TEST_F(InstrumentPanelWindowTest, InheritedPatchNamesAreDrawnApart) {
    chooseInstrument("Normal Synth");
    panels_->panel().chooseBank(1); // "Variations", based on "Main"
    QMenu* patches = panels_->window()->patchMenu();
    patches->popup(QPoint(0, 0));
    const QImage drawn = patches->grab().toImage();
    // How far the bluest pixel of an entry leans to blue: 96 x coverage for RGB(96, 96, 192)
    // text, about 0 for grey or black text.
    auto blueLean = [&](const char* name) {
        int lean = -255;
        int found = 0;
        for (QAction* action : patches->actions()) {
            if (action->text() != name) {
                continue;
            }
            ++found;
            const QRect area = patches->actionGeometry(action);
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x) {
                    const QColor pixel = drawn.pixelColor(x, y);
                    lean = std::max(lean, pixel.blue() - pixel.red());
                }
            }
        }
        EXPECT_EQ(found, 1) << name;
        return lean;
    };
    EXPECT_GT(blueLean("Grand"), 40) << "inherited";
    EXPECT_LT(blueLean("Fretless Bass"), 10) << "the list's own";
    patches->hide();
}

TEST_F(InstrumentPanelWindowTest, FavouritesSurviveARestart) {
    chooseInstrument("Zero Synth");
    EXPECT_FALSE(panels_->window()->addFavouriteButton()->isEnabled()) << "no patch chosen";
    EXPECT_TRUE(panels_->window()->bankArrow()->isEnabled());
    panels_->panel().setChannelState(0, -1, 0);
    chooseBankAndPatch();
    EXPECT_TRUE(panels_->window()->addFavouriteButton()->isEnabled());
    EXPECT_TRUE(panels_->window()->addFavourite("My Bass"));
    EXPECT_EQ(panels_->window()->favouriteButton()->text(), "My Bass");
    tap_.take();

    panels_.reset(); // the program ends
    GlobalOptions restarted;
    restarted.instrumentFolder = folder_.path();
    panels_ = std::make_unique<InstrumentPanels>(restarted, store_);
    panels_->open(tap_.client(), nullptr);
    EXPECT_EQ(panels_->window()->favouriteButton()->text(), "None");
    EXPECT_FALSE(panels_->window()->favouriteButton()->isEnabled()) << "none chosen yet";
    QMenu* favourites = panels_->window()->favouriteMenu();
    ASSERT_EQ(favourites->actions().size(), 1);
    EXPECT_EQ(favourites->actions()[0]->text(), "My Bass");
    favourites->actions()[0]->trigger();
    EXPECT_EQ(tap_.take(), (Bytes{0xB0, 0, 1, 0xC0, 5}));
    EXPECT_EQ(panels_->window()->instrumentBox()->currentText(), "Zero Synth");
    EXPECT_EQ(panels_->window()->methodBox()->currentText(), "Controller0");
    EXPECT_EQ(panels_->window()->patchButton()->text(), "Fretless Bass");
    EXPECT_EQ(panels_->window()->favouriteButton()->text(), "My Bass");
}

} // namespace
} // namespace corvex
