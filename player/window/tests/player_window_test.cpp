#include "button_bar.h"
#include "output_ports.h"
#include "player_window.h"
#include "port_dialog.h"
#include "smf_bytes.h"
#include "support/qt_test_environment.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>

// Fontconfig keeps a cache for the life of the process that LeakSanitizer reports at exit.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace corvex {
namespace {

using namespace smf::test;

[[maybe_unused]] const auto* const kQt = testing::addQtTestEnvironment();

std::string writeSong(const std::string& name, uint32_t lengthMs) {
    std::string path = std::string(std::getenv("HOME")) + "/" + name;
    Bytes bytes = file({header(0, 1, 1000), track({tempo(0, 1000000), event(0, {0x90, 60, 100}),
                                                   event(lengthMs, {0x80, 60, 0}), endOfTrack()})});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

const std::vector<std::string> kPorts = {"Corvex Loopback 1", "Corvex Loopback 2"};

class PlayerWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<PlayerWindow> makeWindow(PlayerSettings settings = {}) {
        auto window = std::make_unique<PlayerWindow>(store, settings, kPorts);
        window->errorSink = [this](const std::string& message) { errors.push_back(message); };
        return window;
    }
    static void click(PlayerWindow& window, int id) {
        QTest::mouseClick(window.buttonBar()->button(id), Qt::LeftButton);
    }

    SettingsStore store;
    std::vector<std::string> errors;
};

TEST_F(PlayerWindowTest, ShowsTheStateOfTheFileInTitleDisplaysAndButtons) {
    auto window = makeWindow();
    window->show();
    EXPECT_EQ(window->objectName(), "Tunelet");
    EXPECT_EQ(window->windowTitle(), "Tunelet");
    EXPECT_EQ(window->positionDisplay()->text(), "00 : 00");
    EXPECT_EQ(window->lengthDisplay()->objectName(), "1002");
    ButtonBar* bar = window->buttonBar();
    EXPECT_TRUE(bar->isEnabled(kOpenButton));
    EXPECT_FALSE(bar->isEnabled(kPlayButton));

    window->openFromCommandLine(writeSong("shown.mid", 125000), false);
    EXPECT_EQ(window->windowTitle(), "Tunelet: shown.mid");
    EXPECT_EQ(window->lengthDisplay()->text(), "02 : 05");
    EXPECT_TRUE(bar->isEnabled(kPlayButton));
    EXPECT_FALSE(bar->isEnabled(kRewindButton));

    click(*window, kPlayButton);
    EXPECT_EQ(window->controller().state(), PlayerState::Playing);
    EXPECT_FALSE(bar->isEnabled(kPlayButton));
    click(*window, kPauseButton);
    EXPECT_EQ(window->controller().state(), PlayerState::Paused);
    EXPECT_TRUE(bar->isChecked(kPauseButton));
    click(*window, kStopButton);
    EXPECT_EQ(window->controller().state(), PlayerState::Ready);
    EXPECT_FALSE(bar->isChecked(kPauseButton));
    EXPECT_TRUE(errors.empty());
}

TEST_F(PlayerWindowTest, HoldingForwardMovesOnTheRelease) {
    auto window = makeWindow();
    window->show();
    window->openFromCommandLine(writeSong("held.mid", 600000), false);
    QToolButton* forward = window->buttonBar()->button(kForwardButton);
    QTest::mousePress(forward, Qt::LeftButton);
    EXPECT_EQ(window->positionDisplay()->text(), "00 : 10");
    QTest::mouseRelease(forward, Qt::LeftButton);
    EXPECT_EQ(window->controller().sequencer().positionMs(), 10000);
    EXPECT_TRUE(window->buttonBar()->isEnabled(kRewindButton));
}

TEST_F(PlayerWindowTest, AcceleratorsWorkOnlyForEnabledButtons) {
    auto window = makeWindow();
    window->show();
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_P);
    EXPECT_EQ(window->controller().state(), PlayerState::NoFile);
    window->openFromCommandLine(writeSong("keys.mid", 60000), false);
    QTest::keyClick(window.get(), Qt::Key_P);
    EXPECT_EQ(window->controller().state(), PlayerState::Playing);
    QTest::keyClick(window.get(), Qt::Key_R);
    EXPECT_TRUE(window->controller().repeat());
    EXPECT_TRUE(window->buttonBar()->isChecked(kRepeatButton));
    QTest::keyClick(window.get(), Qt::Key_BracketRight);
    EXPECT_EQ(window->controller().state(), PlayerState::Ready);
}

TEST_F(PlayerWindowTest, DroppedFilesPlayTheLastFirst) {
    auto window = makeWindow();
    window->show();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(writeSong("d1.mid", 5000))),
                  QUrl::fromLocalFile(QString::fromStdString(writeSong("d2.mid", 5000)))});
    QPoint where = window->lengthDisplay()->geometry().center();
    QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(where), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(window->windowTitle(), "Tunelet: d2.mid");
    EXPECT_EQ(window->controller().state(), PlayerState::Playing);
}

TEST_F(PlayerWindowTest, PortDialogListsTheMapperThenTheDevices) {
    PortDialog dialog(kPorts, 1);
    EXPECT_EQ(dialog.windowTitle(), "Select MCI Port");
    ASSERT_EQ(dialog.list()->count(), 3);
    EXPECT_EQ(dialog.list()->item(0)->text(), "Default (Mapper)");
    EXPECT_EQ(dialog.list()->item(2)->text(), "Corvex Loopback 2");
    EXPECT_EQ(dialog.choice(), 1);
    dialog.list()->setCurrentRow(0);
    EXPECT_EQ(dialog.choice(), kMapperChoice);
}

TEST_F(PlayerWindowTest, AStoredPortThatIsGoneSelectsTheMapper) {
    PlayerSettings settings;
    settings.outputPort = "corvex loopback 2";
    EXPECT_EQ(makeWindow(settings)->controller().port(), 1);
    settings.outputPort = "A Synth Unplugged Since";
    EXPECT_EQ(makeWindow(settings)->controller().port(), kMapperChoice);
}

TEST_F(PlayerWindowTest, OptionsAndPlacementAreSavedAtClose) {
    PlayerSettings settings;
    settings.singleInstance = true;
    settings.outputPort = "Corvex Loopback 2";
    auto window = makeWindow(settings);
    window->show();
    window->applySavedOptions();
    EXPECT_TRUE(window->menuAction(kSingleInstanceCommand)->isChecked());
    window->menuAction(kOnTopCommand)->trigger();
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->isVisible());
    window->menuAction(kSingleInstanceCommand)->trigger(); // saved at once
    EXPECT_EQ(store.readDword("Tunelet", "SingleInstance"), 0u);
    window->move(40, 120);
    window->close();
    PlayerSettings saved = readPlayerSettings(store);
    EXPECT_TRUE(saved.onTop);
    EXPECT_FALSE(saved.inTray);
    EXPECT_EQ(saved.outputPort, "Corvex Loopback 2");
    EXPECT_EQ(saved.windowPos.normal.left, 40);
    EXPECT_EQ(saved.windowPos.normal.top, 120);
}

} // namespace
} // namespace corvex
