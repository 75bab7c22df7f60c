#include "transport/sync_transport.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace corvex {
namespace {

constexpr std::array<int, 14> kTimebases = {48,  72,  96,  120, 144, 168, 192,
                                            216, 240, 360, 384, 480, 720, 960};
constexpr std::array<int, 5> kMeterBottoms = {2, 4, 8, 16, 32};
constexpr int kMostMeterTop = 32;
constexpr int kLeastShownTimebase = 48;
constexpr uint32_t kTempoScale = 100;
constexpr uint32_t kSixteenthsPerBeat = 4;
constexpr uint32_t kMostSongPosition = 0x3FFF; // 14 bits of sixteenths

enum SyncCommand : uint16_t { kStart = 1, kContinue = 2, kStop = 3, kSongPosition = 4 };

bool contains(std::span<const int> values, int value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

int limitedTempo(int tempo) {
    return std::clamp(tempo, kLeastTempo, kMostTempo);
}

} // namespace

std::span<const int> timebases() {
    return kTimebases;
}

std::span<const int> meterBottoms() {
    return kMeterBottoms;
}

bool isTimebase(int value) {
    return contains(kTimebases, value);
}

bool isMeterBottom(int value) {
    return contains(kMeterBottoms, value);
}

SyncTransport::SyncTransport(TransportEngine& engine, MtcLink& link, const SyncSettings& settings)
    : engine_(engine), link_(link), settings_(settings) {
    settings_.tempo = limitedTempo(settings_.tempo);
    if (!isTimebase(settings_.timebase)) {
        settings_.timebase = SyncSettings{}.timebase;
    }
    settings_.meterTop = std::clamp(settings_.meterTop, 1, kMostMeterTop);
    settings_.accuracyMs = std::clamp(settings_.accuracyMs, 1, 10);
    configure();
}

// Tempo × 100 is worked out in 32 bits from a tempo already limited to 300 BPM, so it
// always fits the engine's 16-bit argument.
void SyncTransport::configure() {
    engine_.configSync(static_cast<uint16_t>(settings_.accuracyMs),
                       static_cast<uint16_t>(uint32_t(settings_.tempo) * kTempoScale),
                       static_cast<uint16_t>(settings_.timebase));
}

void SyncTransport::startClock(int typedTempo) {
    settings_.tempo = limitedTempo(typedTempo);
    configure();
    engine_.startClock();
    clockRunning_ = true;
}

void SyncTransport::stopClockStartedByPlay() {
    if (startedByPlay_) {
        engine_.stopClock();
        clockRunning_ = false;
        startedByPlay_ = false;
    }
}

void SyncTransport::play(int typedTempo) {
    if (playing_) {
        return;
    }
    if (!clockRunning_) {
        startClock(typedTempo);
        startedByPlay_ = true;
    }
    if (position_ != 0) {
        engine_.syncCommand(kContinue, 0);
        if (linked_) {
            link_.pressMtcPause(); // resumes the paused MTC transport
        }
    } else {
        engine_.syncCommand(kStart, 0);
        if (linked_) {
            link_.pressMtcPlay();
        }
    }
    playing_ = true;
}

void SyncTransport::pause() {
    if (!playing_) {
        return;
    }
    engine_.syncCommand(kStop, 0);
    stopClockStartedByPlay();
    if (linked_) {
        link_.pressMtcPause();
    }
    playing_ = false;
}

void SyncTransport::rewind() {
    if (playing_) {
        engine_.syncCommand(kStop, 0);
        stopClockStartedByPlay();
    }
    if (linked_) {
        link_.pressMtcRewind();
    }
    engine_.syncCommand(kSongPosition, 0);
    playing_ = false;
}

uint32_t SyncTransport::currentMeasure() const {
    return position_ / uint32_t(settings_.timebase) / uint32_t(settings_.meterTop);
}

void SyncTransport::locateToBeat(uint32_t beat) {
    engine_.syncCommand(kStop, 0);
    engine_.syncCommand(kSongPosition, static_cast<uint16_t>(
                                           std::min(beat * kSixteenthsPerBeat, kMostSongPosition)));
    if (playing_) {
        engine_.syncCommand(kContinue, 0);
    }
}

void SyncTransport::back() {
    if (linked_) {
        return;
    }
    const uint32_t measure = currentMeasure();
    locateToBeat(measure >= 2 ? (measure - 1) * uint32_t(settings_.meterTop) : 0);
}

void SyncTransport::forward() {
    if (linked_) {
        return;
    }
    locateToBeat((currentMeasure() + 1) * uint32_t(settings_.meterTop));
}

void SyncTransport::sendClock(bool on, int typedTempo) {
    if (playing_) {
        return;
    }
    if (on && !clockRunning_) {
        startClock(typedTempo);
    } else if (!on && clockRunning_) {
        engine_.stopClock();
        clockRunning_ = false;
    }
    startedByPlay_ = false;
}

void SyncTransport::tempoEdited(int tempo) {
    settings_.tempo = limitedTempo(tempo);
    configure();
}

bool SyncTransport::setAccuracy(int ms) {
    if (ms < 1 || ms > 10) {
        return false;
    }
    if (!playing_) {
        settings_.accuracyMs = ms;
    }
    return true;
}

bool SyncTransport::setTimebase(int timebase) {
    if (!isTimebase(timebase)) {
        return false;
    }
    if (!playing_) {
        settings_.timebase = timebase;
    }
    return true;
}

bool SyncTransport::setMeterTop(int top) {
    if (top < 1 || top > kMostMeterTop) {
        return false;
    }
    settings_.meterTop = top;
    return true;
}

bool SyncTransport::setMeterBottom(int bottom) {
    if (!isMeterBottom(bottom)) {
        return false;
    }
    settings_.meterBottom = bottom;
    return true;
}

void SyncTransport::setLinked(bool linked) {
    if (linked) {
        link_.openMtcTransport();
    }
    link_.lockMtcTransport(linked);
    linked_ = linked;
}

void SyncTransport::receiveTempo(intptr_t lParam) {
    const uint32_t tempoTimes100 = static_cast<uint32_t>(lParam) & 0xFFFF;
    receivedBpm_ = (tempoTimes100 + kTempoScale / 2) / kTempoScale;
}

void SyncTransport::receivePosition(uintptr_t wParam, intptr_t lParam) {
    position_ = static_cast<uint32_t>(lParam) * 65536u + (static_cast<uint32_t>(wParam) & 0xFFFF);
}

void SyncTransport::escape() {
    if (playing_) {
        engine_.stopClock();
        playing_ = false;
        clockRunning_ = false;
        startedByPlay_ = false;
    }
}

SyncSettings SyncTransport::shutDown(int typedTempo) {
    if (playing_ || clockRunning_) {
        engine_.syncCommand(kStop, 0);
        engine_.stopClock();
    }
    if (linked_) {
        link_.pressMtcStop();
        link_.lockMtcTransport(false);
        linked_ = false;
    }
    playing_ = false;
    clockRunning_ = false;
    startedByPlay_ = false;
    settings_.tempo = limitedTempo(typedTempo);
    return settings_;
}

std::string SyncTransport::positionText() const {
    const uint32_t t = uint32_t(std::max(settings_.timebase, kLeastShownTimebase));
    const uint32_t m = uint32_t(std::max(settings_.meterTop, 1));
    char text[48];
    std::snprintf(text, sizeof text, "%u:%2.2u:%3.3u", position_ / t / m + 1, position_ / t % m + 1,
                  position_ % t);
    return text;
}

std::string SyncTransport::tempoText() const {
    char text[24];
    std::snprintf(text, sizeof text, "%5u BPM ",
                  receivedBpm_ != 0 ? receivedBpm_ : uint32_t(settings_.tempo));
    return text;
}

} // namespace corvex
