// SysEx transfers end to end on a loopback cable: a 1 MiB dump sent from the output arrives
// byte-exact at the input and is captured into a file, with the gaps between pieces as
// configured; a cancelled send stops within one piece; the event loop keeps running while
// a send is paced.
#include "sysex_loopback_rig.h"

#include "support/qt_test_environment.h"
#include "sysex/sysex_files.h"
#include "sysex/ui/file_progress_dialog.h"
#include "sysex/ui/sysex_receive_dialog.h"
#include "sysex/ui/sysex_send_runner.h"

#include <QEventLoop>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace corvex::testing {
namespace {

[[maybe_unused]] const auto* const environment = addQtTestEnvironment();

constexpr uint16_t kCable = 0;
constexpr size_t kMiB = 1024 * 1024;

std::string writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

std::vector<uint8_t> readFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    readWholeFile(path, bytes, error);
    return bytes;
}

// Runs the event loop (as the program's own loop does, never sleeping between events, unlike
// QTest::qWaitFor) until `done` holds or `timeoutMs` passed.
template <typename Predicate> bool runUntil(Predicate done, int timeoutMs) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (done()) {
            loop.quit();
        }
    });
    poll.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

class SysExTransferLoopbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("CORVEX_MIDI", "virtual", 1);
        rig = std::make_unique<SysExLoopbackRig>(kCable, kCable, 8192);
        ASSERT_TRUE(rig->ready());
        folder =
            std::filesystem::temp_directory_path() / ("cvx-sysex-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        rig->dumpPath() = (folder / "captured.syx").string();
    }
    void TearDown() override {
        rig.reset();
        std::filesystem::remove_all(folder);
    }

    std::unique_ptr<SysExLoopbackRig> rig;
    std::filesystem::path folder;
};

TEST_F(SysExTransferLoopbackTest, AFileArrivesWholeIntoTheDumpFileWithThePacingConfigured) {
    struct Case {
        const char* name;
        size_t size, messageLength;
        bool cutAfterF7;
        uint32_t afterF7Ms, bufferMs;
    } cases[] = {
        {"1 MiB in pieces of the buffer size", kMiB, 1024, false, 0, 10},
        {"cut after each F7", 96 * 1024, 1024, true, 4, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig->engine().sendTimes.clear();
        rig->configure(c.cutAfterF7, c.afterF7Ms, c.bufferMs, true);
        const std::vector<uint8_t> dump = sysExDump(c.size, c.messageLength);
        const std::string path = writeFile(folder / "dump.syx", dump);

        std::optional<SysExReceived> received;
        QPointer<SysExReceiveDialog> receiving = rig->transfer().receive(
            nullptr, std::nullopt, {}, [&](const SysExReceived& r) { received = r; });
        ASSERT_TRUE(receiving);
        QPointer<FileProgressDialog> sending = rig->transfer().sendFile(path, nullptr);
        ASSERT_TRUE(sending);
        ASSERT_TRUE(runUntil([&] { return sending.isNull(); }, 60000));
        ASSERT_TRUE(runUntil(
            [&] { return receiving->counterText() == QString::number(dump.size()); }, 10000))
            << receiving->counterText().toStdString();
        receiving->accept(); // "Done"
        ASSERT_TRUE(received);
        EXPECT_TRUE(received->dumpWritten);
        EXPECT_EQ(readFile(rig->dumpPath()), dump) << "byte-exact in the dump file";
        EXPECT_TRUE(rig->warnings().empty()) << rig->warnings().front();

        const uint32_t perPiece = (c.cutAfterF7 ? c.afterF7Ms : 0) + c.bufferMs;
        const size_t pieceBytes = c.cutAfterF7 ? c.messageLength : 8192;
        std::vector<double> gaps = rig->engine().gapsMs();
        ASSERT_EQ(gaps.size() + 1, c.size / pieceBytes);
        EXPECT_NEAR(median(gaps), perPiece, 2.0);
        EXPECT_GE(*std::min_element(gaps.begin(), gaps.end()), perPiece - 1.0);
        std::sort(gaps.begin(), gaps.end());
        std::printf("[ measured ] %s: %zu gaps, median %.2f ms, 90%% %.2f ms, max %.2f ms "
                    "(configured %u ms)\n",
                    c.name, gaps.size(), median(gaps), gaps[gaps.size() * 9 / 10], gaps.back(),
                    perPiece);
    }
}

TEST_F(SysExTransferLoopbackTest, CancelStopsWithinOnePieceAndTheLoopKeepsRunning) {
    rig->configure(false, 0, 20, true);
    const std::vector<uint8_t> dump = sysExDump(kMiB, 1024);
    const std::string path = writeFile(folder / "dump.syx", dump);
    QPointer<FileProgressDialog> sending = rig->transfer().sendFile(path, nullptr);
    ASSERT_TRUE(sending);

    // A timer of the window ticks all through the paced send.
    std::vector<std::chrono::steady_clock::time_point> ticks;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { ticks.push_back(std::chrono::steady_clock::now()); });
    ticker.start(5);
    ASSERT_TRUE(runUntil([&] { return rig->engine().sendTimes.size() >= 10; }, 10000));
    EXPECT_GT(sending->percent(), 0);
    const size_t sentAtCancel = rig->engine().sendTimes.size();
    sending->reject(); // "Cancel"
    ASSERT_TRUE(runUntil([&] { return sending.isNull() || !sending->isVisible(); }, 1000));
    runUntil([] { return false; }, 100);
    ticker.stop();
    EXPECT_LE(rig->engine().sendTimes.size(), sentAtCancel + 1);
    double longest = 0;
    for (size_t i = 1; i < ticks.size(); ++i) {
        longest = std::max(
            longest, std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count());
    }
    EXPECT_GT(ticks.size(), 20u);
    EXPECT_LT(longest, 50.0) << "the event loop was blocked";
}

TEST_F(SysExTransferLoopbackTest, SendReceiveKeepsTheAnswerInTheBufferAndPaneSendsArePaced) {
    rig->configure(true, 1, 0, false);
    const std::vector<uint8_t> bytes = sysExDump(20000, 500);
    std::optional<SysExReceived> received;
    QPointer<SysExReceiveDialog> receiving =
        rig->transfer().receive(nullptr, bytes, {}, [&](const SysExReceived& r) { received = r; });
    ASSERT_TRUE(receiving);
    ASSERT_TRUE(
        runUntil([&] { return receiving->counterText() == QString::number(bytes.size()); }, 10000));
    receiving->accept();
    ASSERT_TRUE(received);
    EXPECT_EQ(received->bytes, bytes);

    // A pane's bytes of exactly one piece go out without a dialog, one more byte with it.
    for (size_t size : {size_t{8192}, size_t{8193}}) {
        bool ended = false;
        SysExSendRunner* runner = rig->transfer().sendBytes(
            std::vector<uint8_t>(size, 0x11), nullptr, [&](const SysExSendStep&) { ended = true; });
        ASSERT_NE(runner, nullptr);
        EXPECT_EQ(qobject_cast<FileProgressDialog*>(runner->parent()) != nullptr, size > 8192);
        ASSERT_TRUE(runUntil([&] { return ended; }, 5000));
    }
}

} // namespace
} // namespace corvex::testing
