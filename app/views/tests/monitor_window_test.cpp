// The monitor windows offscreen, on a real engine client: messages fed into a loopback input
// appear in both monitors; marking, copying, scrolling and closing as a user does them.
#include "resources/command_ids.h"
#include "resources/window_messages.h"
#include "views/line_colour.h"
#include "views/monitor_window.h"

#include "cvxlib.h"
#include "vmidi.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace corvex {
namespace {

constexpr uint16_t kInputCable = 0;
constexpr uint16_t kOutputCable = 1;

// The application lives from before the first test to after the last, and is gone before
// the process exits (Qt's own globals are destroyed at exit).
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "monitor_window_test";
        static char* argv[] = {name, nullptr};
        application_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { application_.reset(); }

private:
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

CPortMap routeAllFrom(uint32_t input) {
    CPortMap map{};
    map.inputBits[input / 32] |= 1u << (input % 32);
    map.inputMasks[input] = 0x7FFFF;
    return map;
}

class MonitorWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("CORVEX_MIDI", "virtual", 1); }

    void SetUp() override {
        ASSERT_EQ(InitCallBack(), 1);
        discardCachedEvents();
        main = std::make_unique<MonitorWindow>(MonitorKind::Main, text);
        CFilter filter{};
        client = CreateClient(main->hwnd(), nullptr, &filter);
        ASSERT_NE(client, 0u);
        ASSERT_TRUE(main->attach(client));
        main->resize(640, 300);
        main->show();
    }

    void TearDown() override {
        if (input != nullptr) {
            CloseMidiIn(input, client);
        }
        if (output != nullptr) {
            CloseMidiOut(output, client);
        }
        vmidiSettle();
        inputMonitor.reset();
        DestroyClient(client);
        main.reset();
        discardCachedEvents();
        FreeCallBack();
    }

    static void discardCachedEvents() {
        EVENT e{};
        for (MonID id = MON_RAW_INPUT; id <= MON_SCRIPT; ++id) {
            while (GetEvent(0, &e, id)) {
            }
        }
    }

    void openPorts() {
        CPortMap map = routeAllFrom(kInputCable);
        ASSERT_EQ(OpenMidiOut(&output, kOutputCable, 0, &map, client), MMSYSERR_NOERROR);
        ASSERT_EQ(OpenMidiIn(&input, kInputCable, client), MMSYSERR_NOERROR);
        StartTimeStamp(client);
        ASSERT_EQ(StartMidiIn(input), MMSYSERR_NOERROR);
    }

    void openInputMonitor() {
        inputMonitor = std::make_unique<MonitorWindow>(MonitorKind::Input, text);
        ASSERT_TRUE(inputMonitor->attach(client));
        inputMonitor->resize(640, 300);
        inputMonitor->show();
    }

    static void feed(std::initializer_list<uint8_t> bytes) {
        const std::vector<uint8_t> data(bytes);
        ASSERT_EQ(vmidiFeed(kInputCable, data.data(), static_cast<unsigned>(data.size())), 1);
        vmidiSettle();
    }

    static bool waitForLines(const MonitorWindow& window, size_t count) {
        return QTest::qWaitFor([&] { return window.model().lineCount() >= count; }, 10000);
    }

    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }

    EventText text;
    std::unique_ptr<MonitorWindow> main;
    std::unique_ptr<MonitorWindow> inputMonitor;
    uint64_t client = 0;
    HMIDIIN input = nullptr;
    HMIDIOUT output = nullptr;
};

TEST_F(MonitorWindowTest, MessagesOnALoopbackInputAppearInBothMonitors) {
    openPorts();
    openInputMonitor();
    feed({0x90, 60, 100, 0xB0, 7, 99});

    ASSERT_TRUE(waitForLines(*main, 2));
    ASSERT_TRUE(waitForLines(*inputMonitor, 2));
    EXPECT_EQ(main->model().lineText(0).substr(11, 36), " 1   2     90    3C    64    1  C  4")
        << "routed to output 2";
    EXPECT_EQ(inputMonitor->model().lineText(0).substr(11, 36),
              " 1  --     90    3C    64    1  C  4")
        << "as received";
    EXPECT_EQ(inputMonitor->model().lineText(1).substr(48, 10), "CC: Volume");

    main->setHex(false);
    EXPECT_EQ(main->model().lineText(0).substr(18, 18), "   144    60   100");

    main->setDisplayRunning(false);
    feed({0x80, 60, 0});
    ASSERT_TRUE(waitForLines(*inputMonitor, 3));
    main->handleMessage(WM_CVX_EVENTS, 0, 0);
    EXPECT_EQ(main->model().lineCount(), 2u) << "a stopped display discards";
}

TEST_F(MonitorWindowTest, PaintsTheHeaderAndLinesInTheirColours) {
    ColourScheme colours;
    colours.fill(rgbColour(200, 200, 200));
    colours[kMonitorBackground] = rgbColour(0, 0, 0);
    colours[kLabelBackground] = rgbColour(0, 0, 255);
    colours[kLabelText] = rgbColour(255, 255, 255);
    colours[kNoteOnColour] = rgbColour(0, 255, 0);
    main->setColours(colours);
    openPorts();
    feed({0x90, 60, 100});
    ASSERT_TRUE(waitForLines(*main, 1));

    const QImage image = main->viewport()->grab().toImage();
    const int lineHeight = main->cellSize().height();
    EXPECT_EQ(image.pixelColor(image.width() - 1, 1), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), QColor(0, 0, 0));
    bool greenText = false;
    for (int y = lineHeight; y < 2 * lineHeight && !greenText; ++y) {
        for (int x = 0; x < image.width() && !greenText; ++x) {
            const QColor c = image.pixelColor(x, y);
            greenText = c.green() > 128 && c.red() < 64 && c.blue() < 64;
        }
    }
    EXPECT_TRUE(greenText) << "the Note On line is drawn in the Note On colour";
}

TEST_F(MonitorWindowTest, MarkingWithMouseAndKeysCopiesTheSelection) {
    for (int i = 0; i < 5; ++i) {
        main->appendText("line " + std::to_string(i));
    }
    const QSize cell = main->cellSize();
    const auto at = [&](int column, int row) {
        return QPoint(column * cell.width() + 1, row * cell.height() + 1);
    };
    QTest::mouseClick(main->viewport(), Qt::LeftButton, Qt::ControlModifier, at(1, 0));
    EXPECT_TRUE(main->grid().marking());
    EXPECT_EQ(main->handleMessage(WM_CVX_ASKMONITOR, cmd::kAskMarking, 0), 1);
    QTest::mouseMove(main->viewport(), at(3, 2));
    QTest::mousePress(main->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(3, 2));
    QTest::mouseRelease(main->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(3, 2));
    QTest::keyClick(main.get(), Qt::Key_Return);
    EXPECT_EQ(clipboardText(), "TIM\nlin\nlin\n");
    EXPECT_FALSE(main->grid().marking()) << "copying ends marking";

    main->runCommand(cmd::kMarkWindow);
    EXPECT_TRUE(main->grid().selection());
    QTest::keyClick(main.get(), Qt::Key_Escape);
    EXPECT_FALSE(main->grid().marking());

    main->handleMessage(WM_COMMAND, cmd::kCopyAll, 0);
    EXPECT_TRUE(clipboardText().startsWith(QString::fromLatin1(EventText::header) + "\n"));
    EXPECT_TRUE(clipboardText().endsWith(" line 4\n"));

    main->runCommand(cmd::kClearMonitor);
    EXPECT_EQ(main->model().lineCount(), 0u);
}

TEST_F(MonitorWindowTest, KeysWheelAndBarsScrollWithinRange) {
    for (int i = 0; i < 200; ++i) {
        main->appendText("line " + std::to_string(i));
    }
    const int bottom = main->grid().maxTopLine();
    ASSERT_GT(bottom, 0);
    EXPECT_EQ(main->grid().topLine(), bottom) << "new lines bring the view to the end";

    QTest::keyClick(main.get(), Qt::Key_Home);
    EXPECT_EQ(main->grid().topLine(), 0);
    QTest::keyClick(main.get(), Qt::Key_PageDown);
    EXPECT_EQ(main->grid().topLine(), main->grid().visibleLines());
    QTest::keyClick(main.get(), Qt::Key_Up);
    EXPECT_EQ(main->grid().topLine(), main->grid().visibleLines() - 1);
    QTest::keyClick(main.get(), Qt::Key_End);
    EXPECT_EQ(main->grid().topLine(), bottom);
    EXPECT_EQ(main->verticalScrollBar()->value(), bottom);

    main->verticalScrollBar()->setValue(10);
    EXPECT_EQ(main->grid().topLine(), 10);
    main->resize(200, 300);
    QTest::keyClick(main.get(), Qt::Key_Right);
    EXPECT_EQ(main->grid().leftColumn(), 1);

    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get(), 5000));
    QWheelEvent wheel(QPointF(10, 10), main->mapToGlobal(QPointF(10, 10)), {}, {0, -120},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    const int before = main->grid().topLine();
    QApplication::sendEvent(main->viewport(), &wheel);
    EXPECT_EQ(main->grid().topLine(), before + QApplication::wheelScrollLines());

    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other, 5000));
    QWheelEvent elsewhere(QPointF(10, 10), main->mapToGlobal(QPointF(10, 10)), {}, {0, -120},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(main->viewport(), &elsewhere);
    EXPECT_EQ(main->grid().topLine(), before + QApplication::wheelScrollLines())
        << "the wheel does nothing while another window is in the foreground";
}

TEST_F(MonitorWindowTest, ClosingMinimisesTheMainMonitorAndClosesTheInputMonitor) {
    openInputMonitor();
    QMdiArea area;
    area.resize(800, 600);
    QMdiSubWindow* mainWindow = area.addSubWindow(main.get());
    area.show();
    mainWindow->show();
    mainWindow->close();
    EXPECT_TRUE(mainWindow->isMinimized());
    EXPECT_EQ(area.subWindowList().size(), 1) << "only minimised, not closed";
    area.removeSubWindow(main.get());
    main->setParent(nullptr);

    QSignalSpy closed(inputMonitor.get(), &MonitorWindow::closed);
    inputMonitor->close();
    EXPECT_EQ(closed.count(), 1);
    inputMonitor.reset();
    EXPECT_EQ(AttachRawMonitor(client, main->hwnd()), 1) << "the input monitor detached";
    EXPECT_EQ(DetachRawMonitor(client), 1);
}

TEST_F(MonitorWindowTest, TextMessagesAndLentSysExBuffers) {
    const char* listing = "Input 1: Corvex Loopback 1";
    main->handleMessage(WM_CVX_MONITORTEXT, 0, reinterpret_cast<intptr_t>(listing));
    EXPECT_EQ(main->model().lineText(0), " Input 1: Corvex Loopback 1");

    uintptr_t seenWParam = 0;
    intptr_t seenLParam = 0;
    main->setPatchChangeHandler([&](uintptr_t w, intptr_t l) {
        seenWParam = w;
        seenLParam = l;
    });
    main->handleMessage(WM_CVX_PATCH_CHANGE, 3, 0x0511C2);
    EXPECT_EQ(seenWParam, 3u);
    EXPECT_EQ(seenLParam, 0x0511C2);

    main->handleMessage(WM_COMMAND, cmd::kViewHexDisplay, 0);
    EXPECT_FALSE(main->hex());
    main->runCommand(cmd::kViewHexDisplay, 1);
    EXPECT_TRUE(main->hex());
}

} // namespace
} // namespace corvex
