// The MIDI status view offscreen, on a real engine client: traffic on a loopback input
// reaches the grid through the main monitor, and a snapshot saved, cleared, loaded and sent
// brings a fresh receiver on the test tap to the same channel state.
#include "views/monitor_window.h"
#include "views/status_tools.h"

#include "command_ids.h"
#include "cvxlib.h"
#include "support/qt_test_environment.h"
#include "vmidi.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace corvex {
namespace {

[[maybe_unused]] const auto* const qt = testing::addQtTestEnvironment();

MonitorLine event(uint32_t message) {
    EVENT e{};
    e.message = message;
    return e;
}

constexpr uint16_t kInputCable = 0;
constexpr uint16_t kOutputCable = 1;

// Short messages from the bytes a cable carried (running status allowed).
std::vector<uint32_t> messagesOf(const std::vector<uint8_t>& bytes) {
    std::vector<uint32_t> messages;
    unsigned status = 0;
    std::vector<unsigned> data;
    for (const uint8_t byte : bytes) {
        if (byte & 0x80) {
            status = byte;
            data.clear();
            continue;
        }
        data.push_back(byte);
        const size_t needed = (status & 0xE0) == 0xC0 ? 1 : 2;
        if (status != 0 && data.size() == needed) {
            messages.push_back(status | data[0] << 8 | (needed == 2 ? data[1] << 16 : 0));
            data.clear();
        }
    }
    return messages;
}

class StatusViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("CORVEX_MIDI", "virtual", 1); }

    void SetUp() override {
        ASSERT_EQ(InitCallBack(), 1);
        main = std::make_unique<MonitorWindow>(MonitorKind::Main, text);
        CFilter filter{};
        client = CreateClient(main->hwnd(), nullptr, &filter);
        ASSERT_NE(client, 0u);
        ASSERT_TRUE(main->attach(client));
        CPortMap map{};
        for (const uint32_t in : {uint32_t{kInputCable}, CVX_GENERATED_PORT}) {
            map.inputBits[in / 32] |= 1u << (in % 32);
            map.inputMasks[in] = 0x7FFFF;
        }
        ASSERT_EQ(OpenMidiOut(&output, kOutputCable, 0, &map, client), MMSYSERR_NOERROR);
        ASSERT_EQ(OpenMidiIn(&input, kInputCable, client), MMSYSERR_NOERROR);
        StartTimeStamp(client);
        ASSERT_EQ(StartMidiIn(input), MMSYSERR_NOERROR);
        tools = std::make_unique<StatusTools>(display, [this](uint32_t m) {
            corvexEvent(client, m & 0xF0, m & 0x0F, (m >> 8) & 0x7F, (m >> 16) & 0x7F, 0);
        });
        main->model().setLineObserver([this](const MonitorLine& line) { tools->follow(line); });
    }

    void TearDown() override {
        tools.reset();
        CloseMidiIn(input, client);
        CloseMidiOut(output, client);
        vmidiSettle();
        DestroyClient(client);
        main.reset();
        FreeCallBack();
    }

    std::vector<uint8_t> takeOutput() {
        std::vector<uint8_t> all;
        std::vector<uint8_t> chunk(65536);
        for (unsigned n; (n = vmidiTake(kOutputCable, chunk.data(), 65536)) > 0;) {
            all.insert(all.end(), chunk.begin(), chunk.begin() + n);
        }
        return all;
    }

    EventText text;
    DisplaySettings display;
    std::unique_ptr<MonitorWindow> main;
    std::unique_ptr<StatusTools> tools;
    uint64_t client = 0;
    HMIDIIN input = nullptr;
    HMIDIOUT output = nullptr;
};

TEST_F(StatusViewTest, LoopbackTrafficFillsTheGridAndASentSnapshotRebuildsIt) {
    StatusWindow* view = tools->createWindow();
    view->resize(view->sizeHint());
    view->show();
    const std::vector<uint8_t> traffic = {
        0xB2, 0,   1,    0xB2, 32,  2,  0xC2, 5,                  // bank 130, patch 5 on channel 3
        0xB2, 7,   90,   0xE2, 0,   64,                           // volume, bend centre
        0xB0, 101, 0,    0xB0, 100, 0,  0xB0, 6, 12,              // bend range 12 on channel 1
        0xBF, 99,  1,    0xBF, 98,  2,  0xBF, 6, 64, 0xBF, 38, 5, // NRPN 130 = 8197
        0xD5, 45,  0xB5, 123,  0}; // channel aftertouch, all notes off on channel 6
    ASSERT_EQ(vmidiFeed(kInputCable, traffic.data(), static_cast<unsigned>(traffic.size())), 1);
    vmidiSettle();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return tools->status().value(5, statusItemOfController(123)) >= 0; }, 10000));

    struct Cell {
        unsigned channel, item;
        const char* shown;
    };
    for (const Cell& cell :
         {Cell{2, kItemBank, "130"}, Cell{2, kItemPatch, "5"}, Cell{2, 3, "90"},
          Cell{2, kItemBend, "0"}, Cell{0, kItemBendRange, "12"}, Cell{15, kItemNrpn, "130"},
          Cell{15, kItemNrpnValue, "8197"}, Cell{5, kItemChannelAftertouch, "45"},
          Cell{3, kItemBend, ""}, Cell{3, kItemChan, "4"}}) {
        EXPECT_EQ(StatusWindow::cellText(tools->status(), cell.channel, cell.item),
                  QString(cell.shown))
            << "channel " << cell.channel << " item " << cell.item;
    }
    // Below the header the cells and grid lines are drawn in the text colour.
    view->setLook(Qt::black, Qt::white, view->font());
    const QImage image = view->grab().toImage();
    int inked = 0;
    for (int y = image.height() / 4; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            inked += qGray(image.pixel(x, y)) < 128;
        }
    }
    EXPECT_GT(inked, 100) << "cells are painted";

    const StatusValues seen = tools->status().values();
    const std::string path = QDir(QDir::tempPath()).filePath("status_view.mxs").toStdString();
    ASSERT_EQ(tools->saveSnapshot(path), "");
    ASSERT_TRUE(tools->runCommand(cmd::kClearStatus, view));
    EXPECT_EQ(StatusWindow::cellText(tools->status(), 2, kItemPatch), QString());
    ASSERT_EQ(tools->loadSnapshot(path), "");
    EXPECT_EQ(tools->status().values(), seen);
    std::remove(path.c_str());

    takeOutput(); // the forwarded traffic
    display.snapshotMode = true;
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(tools->runCommand(cmd::kSendSnapshot, view));
    ASSERT_TRUE(tools->sending());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tools->sending(); }, 20000));
    vmidiSettle();
    const std::vector<uint32_t> sent = messagesOf(takeOutput());
    EXPECT_GE(clock.elapsed(), static_cast<qint64>(4 * (sent.size() - 1)))
        << "paced at 4 ms a message";
    ChannelStatus receiver;
    for (const uint32_t message : sent) {
        receiver.update(message);
    }
    EXPECT_EQ(receiver.values(), seen);
}

TEST_F(StatusViewTest, CancellingASendStopsItAndADamagedSnapshotChangesNothing) {
    for (unsigned channel = 0; channel < 16; ++channel) {
        tools->follow(event(0xB0u | channel | 7u << 8 | 100u << 16));
    }
    tools->sendSnapshot(nullptr);
    QTest::qWait(20);
    tools->sendSnapshot(nullptr); // a new send replaces the running one
    tools->runCommand(cmd::kClearStatus, nullptr);
    ASSERT_TRUE(tools->sending());
    QTest::qWait(0); // the replaced send's dialog is gone
    QWidget* progress = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QProgressDialog*>(widget)) {
            progress = dialog;
            QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
        }
    }
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(tools->sending());

    tools->follow(event(0x07C0u));
    const std::string path = QDir(QDir::tempPath()).filePath("damaged.mxs").toStdString();
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("SNAP\x01\x00\x80\x08\x00\x01", 10)); // 2176 entries claimed
    }
    EXPECT_FALSE(tools->loadSnapshot(path).empty());
    EXPECT_EQ(tools->status().value(0, kItemPatch), 7);
    std::remove(path.c_str());
}

} // namespace
} // namespace corvex
