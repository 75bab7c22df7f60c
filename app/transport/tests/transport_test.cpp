#include "recording_engine.h"
#include "transport/mtc_transport.h"
#include "transport/sync_transport.h"
#include "transport/time_word.h"

#include <gtest/gtest.h>

#include <functional>

namespace corvex {
namespace {

using Calls = std::vector<std::string>;
using testing::RecordingEngine;

const MtcControls kAt1Hour25{"1:0:0:0", 5, kRate25, false};
const char* const kFullFrame1Hour25 = "fullFrame F0 7F 7F 01 01 21 00 00 00 F7";

class MtcTransportTest : public ::testing::Test {
protected:
    RecordingEngine engine;
    MtcTransport mtc{engine, kRate30};
};

TEST_F(MtcTransportTest, TransportCommandsInEachState) {
    struct Step {
        const char* what;
        std::function<void(MtcTransport&)> act;
        Calls calls;
        bool playing;
        bool paused;
        bool settingsEnabled;
    };
    const Step steps[] = {
        {"play from idle locates first",
         [](MtcTransport& t) { t.play(kAt1Hour25); },
         {kFullFrame1Hour25, "configMtc 1 5 01000000", "startMtc"},
         true,
         false,
         false},
        {"play while playing", [](MtcTransport& t) { t.play(kAt1Hour25); }, {}, true, false, false},
        {"pause keeps the position",
         [](MtcTransport& t) { t.pause(); },
         {"stopMtc keep"},
         false,
         true,
         false},
        {"play from paused resumes without a full frame",
         [](MtcTransport& t) { t.play(kAt1Hour25); },
         {"startMtc"},
         true,
         false,
         false},
        {"pause then pause again resumes",
         [](MtcTransport& t) { t.pause(); },
         {"stopMtc keep"},
         false,
         true,
         false},
        {"", [](MtcTransport& t) { t.pause(); }, {"startMtc"}, true, false, false},
        {"stop rewinds the generator",
         [](MtcTransport& t) { t.stop(); },
         {"stopMtc reset"},
         false,
         false,
         true},
        {"stop when idle does nothing", [](MtcTransport& t) { t.stop(); }, {}, false, false, true},
        {"pause when idle does nothing",
         [](MtcTransport& t) { t.pause(); },
         {},
         false,
         false,
         true},
        {"rewind when idle still locates",
         [](MtcTransport& t) { t.rewind(kAt1Hour25); },
         {"stopMtc reset", kFullFrame1Hour25},
         false,
         false,
         true},
        {"29.97 at 30 fps, accuracy limited",
         [](MtcTransport& t) {
             t.play({"0:0:10:0", 40, kRate30, true});
         },
         {"fullFrame F0 7F 7F 01 01 60 00 0A 00 F7", "configMtc 4 10 00000A00", "startMtc"},
         true,
         false,
         false},
        {"rewind while playing",
         [](MtcTransport& t) {
             t.rewind({"0:0:0:0", 5, kRate24, false});
         },
         {"stopMtc reset", "fullFrame F0 7F 7F 01 01 00 00 00 00 F7"},
         false,
         false,
         true},
    };
    for (const Step& s : steps) {
        s.act(mtc);
        EXPECT_EQ(engine.take(), s.calls) << s.what;
        EXPECT_EQ(mtc.playing(), s.playing) << s.what;
        EXPECT_EQ(mtc.paused(), s.paused) << s.what;
        EXPECT_EQ(mtc.settingControlsEnabled(), s.settingsEnabled) << s.what;
    }
}

TEST_F(MtcTransportTest, LockedTransportObeysItsDriverAndClosingWhilePlayingIsRefused) {
    mtc.setLocked(true);
    EXPECT_FALSE(mtc.transportButtonsEnabled());
    EXPECT_FALSE(mtc.settingControlsEnabled());
    mtc.play(kAt1Hour25);
    EXPECT_TRUE(mtc.playing());
    EXPECT_FALSE(mtc.canClose());
    mtc.rewind(kAt1Hour25);
    EXPECT_FALSE(mtc.settingControlsEnabled()); // still locked
    mtc.setLocked(false);
    EXPECT_TRUE(mtc.settingControlsEnabled());
    mtc.play(kAt1Hour25);
    mtc.pause();
    engine.take();
    EXPECT_TRUE(mtc.canClose());
    mtc.shutDown(); // a paused generator is rewound when the window goes
    EXPECT_EQ(engine.take(), (Calls{"stopMtc reset"}));
}

TEST_F(MtcTransportTest, ReceivedTimeShowsWithItsRateAndSettingsAreKeptOnClose) {
    EXPECT_EQ(mtc.displayText(), "00:00:00:00");
    EXPECT_EQ(mtc.receivedRateLabel(), "30 Fps ");
    EXPECT_FALSE(mtc.receive(timeWord({0, 0, 1, 29}, kRate30)));
    EXPECT_TRUE(mtc.receive(timeWord({0, 1, 0, 0}, kRate30Drop)));
    EXPECT_EQ(mtc.displayText(), "00:01:00:02");
    EXPECT_EQ(mtc.receivedRateLabel(), "30 Drop ");
    const MtcSettings kept = MtcTransport::settingsOf({"99:99:99:99", 0, kRate24, true});
    EXPECT_EQ(timeText(kept.offset), "23:59:59:23");
    EXPECT_EQ(kept.accuracyMs, 1);
    EXPECT_EQ(kept.frameRate, 24);
    EXPECT_TRUE(kept.slow30);
}

class SyncTransportTest : public ::testing::Test {
protected:
    SyncTransportTest() : sync(engine, engine, SyncSettings{}) { engine.take(); }
    // Position reported by the engine, in ticks.
    void at(uint32_t ticks) { sync.receivePosition(ticks & 0xFFFF, ticks >> 16); }

    RecordingEngine engine;
    SyncTransport sync;
};

TEST_F(SyncTransportTest, OpeningConfiguresTheClockFromTheSettings) {
    RecordingEngine fresh;
    SyncTransport opened(fresh, fresh, {3, 140, 96, 3, 8});
    EXPECT_EQ(fresh.take(), (Calls{"configSync 3 14000 96"}));
    EXPECT_EQ(opened.tempoText(), "  140 BPM ");
    EXPECT_EQ(opened.positionText(), "1:01:000");
}

TEST_F(SyncTransportTest, PlayPauseRewindAndTheClockTheyOwn) {
    struct Step {
        const char* what;
        std::function<void(SyncTransport&)> act;
        Calls calls;
        bool playing;
        bool clock;
        bool clockSettingsEnabled;
    };
    const Step steps[] = {
        {"play from the start starts the clock",
         [](SyncTransport& s) { s.play(120); },
         {"configSync 5 12000 120", "startClock", "sync 1 0"},
         true,
         true,
         false},
        {"play while playing", [](SyncTransport& s) { s.play(120); }, {}, true, true, false},
        {"pause stops the clock play started",
         [](SyncTransport& s) { s.pause(); },
         {"sync 3 0", "stopClock"},
         false,
         false,
         true},
        {"play from a position continues",
         [](SyncTransport& s) {
             s.receivePosition(480, 0);
             s.play(500);
         },
         {"configSync 5 30000 120", "startClock", "sync 2 0"},
         true,
         true,
         false},
        {"rewind",
         [](SyncTransport& s) { s.rewind(); },
         {"sync 3 0", "stopClock", "sync 4 0"},
         false,
         false,
         true},
        {"send clock owns the clock",
         [](SyncTransport& s) { s.sendClock(true, 5); },
         {"configSync 5 800 120", "startClock"},
         false,
         true,
         false},
        {"play does not restart it",
         [](SyncTransport& s) { s.play(5); },
         {"sync 2 0"},
         true,
         true,
         false},
        {"send clock ignored while playing",
         [](SyncTransport& s) { s.sendClock(false, 5); },
         {},
         true,
         true,
         false},
        {"pause leaves a clock play did not start",
         [](SyncTransport& s) { s.pause(); },
         {"sync 3 0"},
         false,
         true,
         false},
        {"send clock off",
         [](SyncTransport& s) { s.sendClock(false, 5); },
         {"stopClock"},
         false,
         false,
         true},
    };
    for (const Step& s : steps) {
        s.act(sync);
        EXPECT_EQ(engine.take(), s.calls) << s.what;
        EXPECT_EQ(sync.playing(), s.playing) << s.what;
        EXPECT_EQ(sync.clockRunning(), s.clock) << s.what;
        EXPECT_EQ(sync.clockSettingsEnabled(), s.clockSettingsEnabled) << s.what;
    }
}

TEST_F(SyncTransportTest, BackAndForwardMoveByWholeMeasures) {
    struct Case {
        uint32_t position;
        int timebase;
        int meterTop;
        Calls back;
        Calls forward;
    };
    const Case cases[] = {
        // Half way through the fourth measure of 4/4 at 120 ticks.
        {1680, 120, 4, {"sync 3 0", "sync 4 32"}, {"sync 3 0", "sync 4 64"}},
        {0, 120, 4, {"sync 3 0", "sync 4 0"}, {"sync 3 0", "sync 4 16"}},
        {500, 120, 4, {"sync 3 0", "sync 4 0"}, {"sync 3 0", "sync 4 32"}},
        {3 * 960 * 7, 960, 3, {"sync 3 0", "sync 4 72"}, {"sync 3 0", "sync 4 96"}},
        // Far beyond what a song position can carry: the last position it can.
        {200'000 * 96, 96, 1, {"sync 3 0", "sync 4 16383"}, {"sync 3 0", "sync 4 16383"}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(sync.setTimebase(c.timebase));
        ASSERT_TRUE(sync.setMeterTop(c.meterTop));
        at(c.position);
        sync.back();
        EXPECT_EQ(engine.take(), c.back) << c.position;
        sync.forward();
        EXPECT_EQ(engine.take(), c.forward) << c.position;
    }
    sync.play(120);
    engine.take();
    sync.forward();
    EXPECT_EQ(engine.take().back(), "sync 2 0"); // playing: continues from there
}

TEST_F(SyncTransportTest, OutOfRangeValuesAreRefusedNeverDividedBy) {
    for (int top : {0, -1, 33}) {
        EXPECT_FALSE(sync.setMeterTop(top)) << top;
    }
    for (int timebase : {0, 24, 100, 1920}) {
        EXPECT_FALSE(sync.setTimebase(timebase)) << timebase;
    }
    for (int bottom : {0, 3, 64}) {
        EXPECT_FALSE(sync.setMeterBottom(bottom)) << bottom;
    }
    EXPECT_FALSE(sync.setAccuracy(0));
    at(1000);
    sync.back();
    sync.forward();
    EXPECT_EQ(sync.positionText(), "3:01:040"); // still 4/4 at 120
    // Stored settings that are out of range open at usable values.
    RecordingEngine fresh;
    SyncTransport opened(fresh, fresh, {0, 0, 0, 0, 0});
    EXPECT_EQ(fresh.take(), (Calls{"configSync 1 800 120"}));
    EXPECT_EQ(opened.positionText(), "1:01:000");
}

TEST_F(SyncTransportTest, TempoAndPositionArithmeticDoesNotWrapAtSixteenBits) {
    struct Case {
        int typed;
        const char* sent;
    };
    for (Case c : {Case{120, "configSync 5 12000 120"}, Case{700, "configSync 5 30000 120"},
                   Case{1000, "configSync 5 30000 120"}, Case{0, "configSync 5 800 120"}}) {
        sync.tempoEdited(c.typed);
        EXPECT_EQ(engine.take(), (Calls{c.sent})) << c.typed;
    }
    struct Shown {
        uint32_t ticks;
        int timebase;
        const char* text;
    };
    for (Shown s : {Shown{0, 120, "1:01:000"}, Shown{1680, 120, "4:03:000"},
                    Shown{70'000, 960, "19:01:880"}, Shown{10'000'000, 960, "2605:01:640"}}) {
        ASSERT_TRUE(sync.setTimebase(s.timebase));
        at(s.ticks);
        EXPECT_EQ(sync.positionText(), s.text) << s.ticks;
    }
    sync.receiveTempo(12500);
    EXPECT_EQ(sync.tempoText(), "  125 BPM ");
    sync.receiveTempo(0x10000 | 12449); // only the low 16 bits count
    EXPECT_EQ(sync.tempoText(), "  124 BPM ");
}

TEST_F(SyncTransportTest, LinkedTransportDrivesMtcAndIgnoresMeasureMoves) {
    sync.setLinked(true);
    EXPECT_EQ(engine.take(), (Calls{"mtc open", "mtc lock"}));
    sync.play(120);
    EXPECT_EQ(engine.take(),
              (Calls{"configSync 5 12000 120", "startClock", "sync 1 0", "mtc play"}));
    at(960);
    sync.back();
    sync.forward();
    EXPECT_EQ(engine.take(), Calls{});
    sync.pause();
    EXPECT_EQ(engine.take(), (Calls{"sync 3 0", "stopClock", "mtc pause"}));
    sync.play(120);
    EXPECT_EQ(engine.take(),
              (Calls{"configSync 5 12000 120", "startClock", "sync 2 0", "mtc pause"}));
    sync.rewind();
    EXPECT_EQ(engine.take(), (Calls{"sync 3 0", "stopClock", "mtc rewind", "sync 4 0"}));
    sync.play(90);
    engine.take();
    const SyncSettings kept = sync.shutDown(90);
    EXPECT_EQ(engine.take(), (Calls{"sync 3 0", "stopClock", "mtc stop", "mtc unlock"}));
    EXPECT_EQ(kept.tempo, 90);
    EXPECT_FALSE(sync.linked());
}

} // namespace
} // namespace corvex
