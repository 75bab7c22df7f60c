// The instrument panel window offscreen on a real engine client: what choosing a bank and a
// patch puts on a loopback cable, for each bank select method, and favourites that survive a
// restart of the panel.
#include "instruments/ui/instrument_panels.h"

#include "devices/patch_name_table.h"
#include "panel_fixture.h"
#include "settings/folders.h"
#include "settings/settings_profile.h"
#include "settings/settings_store.h"

#include "cvxlib.h"
#include "vmidi.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace corvex {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr unsigned kCable = 0; // "Corvex Loopback 1"

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "instrument_panel_window_test";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { application_.reset(); }

private:
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

// An engine client whose generated-event port (135) goes to the first loopback output.
class EventTap {
public:
    EventTap() {
        setenv("CORVEX_MIDI", "virtual", 1);
        InitCallBack();
        target_ = cvxWindowCreate([](void*, uint32_t, uintptr_t, intptr_t) {}, nullptr);
        CFilter filter{};
        client_ = CreateClient(target_, nullptr, &filter);
        CPortMap map{};
        map.inputBits[135 / 32] |= 1u << (135 % 32);
        map.inputMasks[135] = 0x7FFFF;
        if (client_ == 0 || OpenMidiOut(&output_, kCable, 0, &map, client_) != MMSYSERR_NOERROR) {
            output_ = nullptr;
        }
        take();
    }
    ~EventTap() {
        if (output_ != nullptr) {
            CloseMidiOut(output_, client_);
        }
        vmidiSettle();
        if (client_ != 0) {
            DestroyClient(client_);
        }
        cvxWindowDestroy(target_);
        FreeCallBack();
    }
    bool ready() const { return output_ != nullptr; }
    uint64_t client() const { return client_; }
    Bytes take() {
        vmidiSettle();
        Bytes bytes(4096);
        bytes.resize(vmidiTake(kCable, bytes.data(), static_cast<unsigned>(bytes.size())));
        return bytes;
    }

private:
    HWND target_ = nullptr;
    uint64_t client_ = 0;
    HMIDIOUT output_ = nullptr;
};

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
    EventTap tap_;
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

TEST_F(InstrumentPanelWindowTest, FavouritesSurviveARestart) {
    chooseInstrument("Zero Synth");
    panels_->panel().setChannelState(0, -1, 0);
    chooseBankAndPatch();
    panels_->window()->addFavourite("My Bass");
    EXPECT_EQ(panels_->window()->favouriteButton()->text(), "My Bass");
    tap_.take();

    panels_.reset(); // the program ends
    GlobalOptions restarted;
    restarted.instrumentFolder = folder_.path();
    panels_ = std::make_unique<InstrumentPanels>(restarted, store_);
    panels_->open(tap_.client(), nullptr);
    EXPECT_EQ(panels_->window()->favouriteButton()->text(), "None");
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
