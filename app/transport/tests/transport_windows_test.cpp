// The transport windows offscreen on a real engine client with loopback cables: input
// cable 0 and the generated-event port routed to output cable 1, the clock stepped by hand.
#include "command_ids.h"
#include "cvxlib.h"
#include "support/qt_test_environment.h"
#include "transport/ui/transports.h"
#include "vmidi.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace corvex {
namespace {

[[maybe_unused]] const auto* const qt = testing::addQtTestEnvironment();

using Bytes = std::vector<uint8_t>;
constexpr uint16_t kInputCable = 0;
constexpr uint16_t kOutputCable = 1;
constexpr uint32_t kGeneratedPort = 135;

class TransportWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("CORVEX_MIDI", "virtual", 1);
        InitCallBack();
        mainTarget_ = cvxWindowCreate([](void*, uint32_t, uintptr_t, intptr_t) {}, nullptr);
        CFilter filter{};
        client_ = CreateClient(mainTarget_, nullptr, &filter);
        CPortMap map{};
        for (uint32_t from : {uint32_t{kInputCable}, kGeneratedPort}) {
            map.inputBits[from / 32] |= 1u << (from % 32);
            map.inputMasks[from] = 0x7FFFF;
        }
        ASSERT_NE(client_, 0u);
        ASSERT_EQ(OpenMidiIn(&input_, kInputCable, client_), MMSYSERR_NOERROR);
        ASSERT_EQ(OpenMidiOut(&output_, kOutputCable, 0, &map, client_), MMSYSERR_NOERROR);
        AllocSyxBufOut(output_, client_, 1024);
        StartTimeStamp(client_);
        StartMidiIn(input_);
        cvxClockManual(1);
        transports_ = std::make_unique<Transports>(options_, colours_, nullptr);
        takeOutput(); // what an earlier test left on the cable
    }

    void TearDown() override {
        transports_.reset(); // stops the generators
        cvxClockManual(0);
        if (client_ != 0) {
            CloseMidiIn(input_, client_);
            CloseMidiOut(output_, client_);
            vmidiSettle();
            DestroyClient(client_);
        }
        cvxWindowDestroy(mainTarget_);
        FreeCallBack();
    }

    Bytes takeOutput() {
        vmidiSettle();
        Bytes bytes;
        unsigned char buffer[4096];
        while (const unsigned got = vmidiTake(kOutputCable, buffer, sizeof buffer)) {
            bytes.insert(bytes.end(), buffer, buffer + got);
        }
        return bytes;
    }

    void feed(const Bytes& bytes) {
        vmidiFeed(kInputCable, bytes.data(), static_cast<unsigned>(bytes.size()));
        vmidiSettle();
        QCoreApplication::processEvents();
    }

    template <typename T> T* child(QWidget* window, const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    InstanceOptions options_;
    ColourScheme colours_ = defaultColours();
    std::unique_ptr<Transports> transports_;
    HWND mainTarget_ = nullptr;
    uint64_t client_ = 0;
    HMIDIIN input_ = nullptr;
    HMIDIOUT output_ = nullptr;
};

TEST_F(TransportWindowsTest, PlayAtOneHourTwentyFiveFpsSendsTheExactQuarterFrames) {
    transports_->open(cmd::kMtcTransport, client_, nullptr);
    MtcTransportWindow* window = transports_->mtcWindow();
    ASSERT_NE(window, nullptr);
    takeOutput();
    child<QLineEdit>(window, "location")->setText(QStringLiteral("1:0:0:0"));
    child<QRadioButton>(window, "rate1")->click();
    EXPECT_EQ(child<QLineEdit>(window, "location")->text(), QStringLiteral("01:00:00:00"));
    child<QToolButton>(window, "play")->click();
    EXPECT_FALSE(child<QLineEdit>(window, "location")->isEnabled());
    cvxClockAdvance(160); // 25 fps: a quarter frame every 10 ms
    const Bytes expected = {0xF0, 0x7F, 0x7F, 0x01, 0x01, 0x21, 0x00, 0x00, 0x00, 0xF7, // locate
                            0xF1, 0x00, 0xF1, 0x10, 0xF1, 0x20, 0xF1, 0x30,             //
                            0xF1, 0x40, 0xF1, 0x50, 0xF1, 0x61, 0xF1, 0x72,             //
                            0xF1, 0x02, 0xF1, 0x10, 0xF1, 0x20, 0xF1, 0x30,             // +2 frames
                            0xF1, 0x40, 0xF1, 0x50, 0xF1, 0x61, 0xF1, 0x72};
    EXPECT_EQ(takeOutput(), expected);
    // The engine follows its own time code: the window shows it.
    QCoreApplication::processEvents();
    EXPECT_EQ(window->displayedTime(), QStringLiteral("01:00:00:02"));
    EXPECT_EQ(window->receivedRateText(), QStringLiteral("25 Fps "));
    EXPECT_FALSE(window->close()); // refused while playing
    child<QToolButton>(window, "stop")->click();
    EXPECT_TRUE(window->close());
    QCoreApplication::processEvents();
    EXPECT_EQ(options_.mtcFrameRate, 25);
    EXPECT_EQ(options_.mtcOffset, 0x01000000);
}

TEST_F(TransportWindowsTest, IncomingTimeCodeAndSongPositionShowInTheWindows) {
    transports_->open(cmd::kMtcTransport, client_, nullptr);
    transports_->open(cmd::kMidiSync, client_, nullptr);
    MtcTransportWindow* mtc = transports_->mtcWindow();
    SyncTransportWindow* sync = transports_->syncWindow();
    ASSERT_NE(mtc, nullptr);
    ASSERT_NE(sync, nullptr);
    EXPECT_EQ(mtc->receivedRateText(), QStringLiteral("30 Fps "));
    // 00:01:00:00 at 30 drop-frame, a frame that minute does not have: shown as frame 2.
    feed({0xF1, 0x00, 0xF1, 0x10, 0xF1, 0x20, 0xF1, 0x30, 0xF1, 0x41, 0xF1, 0x50, 0xF1, 0x60, 0xF1,
          0x74});
    EXPECT_EQ(mtc->displayedTime(), QStringLiteral("00:01:00:02"));
    EXPECT_EQ(mtc->receivedRateText(), QStringLiteral("30 Drop "));
    EXPECT_EQ(sync->receivedTempoText(), QStringLiteral("  100 BPM "));
    feed({0xF2, 0x10, 0x00}); // 16 sixteenths: the second measure of 4/4
    EXPECT_EQ(sync->displayedPosition(), QStringLiteral("2:01:000"));
}

TEST_F(TransportWindowsTest, SyncSettingsSurviveTheWindowAndPlayRunsTheClock) {
    transports_->open(cmd::kMidiSync, client_, nullptr);
    SyncTransportWindow* sync = transports_->syncWindow();
    ASSERT_NE(sync, nullptr);
    child<QSpinBox>(sync, "tempo")->setValue(140);
    child<QSpinBox>(sync, "meterTop")->setValue(3);
    QComboBox* timebase = child<QComboBox>(sync, "timebase");
    timebase->setCurrentIndex(timebase->findData(96));
    child<QToolButton>(sync, "play")->click();
    EXPECT_FALSE(timebase->isEnabled());
    cvxClockAdvance(100);
    const Bytes sent = takeOutput();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), 0xFA);                            // start, then clocks at 140 BPM
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 0xF8), 5); // 56 per second
    transports_->close(cmd::kMidiSync);
    EXPECT_EQ(options_.tempo, 140);
    EXPECT_EQ(options_.meterTop, 3);
    EXPECT_EQ(options_.timebase, 96);
    transports_->open(cmd::kMidiSync, client_, nullptr);
    EXPECT_EQ(child<QSpinBox>(transports_->syncWindow(), "tempo")->value(), 140);
}

} // namespace
} // namespace corvex
