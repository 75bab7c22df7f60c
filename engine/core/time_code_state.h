// Everything one client keeps for MIDI time code and MIDI clock: the time assembled from
// received time code, the time-code generator, the clock generator and the sync tracker.
// The record lives inside the client record, which is allocated zero-filled;
// initTimeCodeDefaults gives it its start values.
//
// Generator and tracker fields change under the engine lock; the timer fields that a tick
// reads before it takes the lock are atomics.
#pragma once

#include "cvx_platform.h"

#include <atomic>
#include <cstdint>

namespace cvx::core {
struct CvxClient;
}

namespace cvx::timecode {

// Rate codes as carried in quarter-frame piece 7 and in full-frame hours.
enum RateCode : uint8_t {
    kRate24 = 0,
    kRate25 = 1,
    kRate30Drop = 2,
    kRate30 = 3,
};

// A time-code position with its frame rate.
struct TimeCodeRecord {
    uint8_t hours;
    uint8_t minutes;
    uint8_t seconds;
    uint8_t frames;
    uint8_t framesPerSecond; // 24, 25 or 30
    uint8_t rateCode;        // RateCode
    uint16_t rateTimes100;   // 2400, 2500, 2997 or 3000
};

// The time assembled from incoming quarter frames and full-frame messages.
struct ReceivedTime {
    TimeCodeRecord time;
    uint32_t piecesSinceReport; // quarter frames counted since the last complete time
};

// The interval between a generator's messages: `ns` / `per` nanoseconds, kept as a ratio so
// that no rounding accumulates (30 fps: 25,000,000,000 / 3000 ns per quarter frame).
struct MessageInterval {
    uint64_t ns;
    uint32_t per;
    bool operator==(const MessageInterval&) const = default;
};

// A periodic multimedia timer driving a generator; the generator runs while `id` is not 0.
// Message k (1 = the first) of a run is due at `gridOriginNs` + k × `interval` (service
// clock), the origin fixed by the first tick; `sentMessages` counts the messages sent. Each
// tick sends what is due and names the next message's deadline as the timer's next one, so
// every message leaves at its own time (generator_timer.cpp).
struct GeneratorTimer {
    std::atomic<uint32_t> periodMs; // changed only while the timer is not running
    std::atomic<UINT> id;
    std::atomic<int32_t> activeTicks;
    std::atomic<bool> gridFixed;
    std::atomic<int64_t> gridOriginNs;
    std::atomic<uint64_t> sentMessages;
    MessageInterval interval; // of the current grid; touched only by the ticks
};

struct MtcGeneratorState {
    TimeCodeRecord time;    // the time the next quarter frames describe
    TimeCodeRecord start;   // restored by a resetting stop
    uint64_t step;          // 256 × 10^8 / (rate × 100)
    uint64_t quarterFrames; // quarter frames sent since start
    uint8_t piece;          // next quarter-frame piece, 0-7
    GeneratorTimer timer;
};

struct ClockGeneratorState {
    uint16_t timebase;      // ticks per quarter note
    uint16_t ticksPerClock; // timebase / 24
    uint64_t step;          // 256 × 60,000,000 / BPM
    GeneratorTimer timer;
};

constexpr int kTempoIntervals = 24;

struct SyncTrackerState {
    bool running;
    uint16_t timebase;
    uint32_t lastTempo; // BPM × 100
    bool hasLastClock;
    bool skipNextInterval; // the next clock follows a transport start: no interval to it
    uint32_t lastClockTime;
    uint32_t intervals[kTempoIntervals];
    uint64_t intervalSum;
    uint32_t intervalIndex;
    uint32_t clockCount; // song position in MIDI clocks
};

// Where the generators and the sync commands send their messages: the injection path of
// the generated-event port, which routes them and feeds them back to the trackers.
using GeneratedSender = void (*)(core::CvxClient& client, uint8_t status, uint8_t data1,
                                 uint8_t data2);

struct TimeCodeState {
    ReceivedTime received;
    MtcGeneratorState mtc;
    ClockGeneratorState clock;
    SyncTrackerState sync;
    GeneratedSender send;
};

} // namespace cvx::timecode
