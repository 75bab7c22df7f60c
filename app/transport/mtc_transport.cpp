#include "transport/mtc_transport.h"

#include "transport/time_word.h"

#include <algorithm>

namespace corvex {
namespace {

constexpr uint16_t kRateCode2997 = 4;

} // namespace

MtcTransport::MtcTransport(TransportEngine& engine, int receivedRateIndex)
    : engine_(engine), receivedRateIndex_(frameRate(receivedRateIndex).index) {}

uint16_t MtcTransport::rateCode(int rateIndex, bool slow30) {
    const int index = frameRate(rateIndex).index;
    return index == kRate30 && slow30 ? kRateCode2997 : static_cast<uint16_t>(index);
}

void MtcTransport::locate(const MtcControls& controls) {
    const uint32_t location = parseLocation(controls.location, controls.rateIndex);
    engine_.sendFullFrame(fullFrameMessage(location | timeWord({}, controls.rateIndex)));
}

void MtcTransport::play(const MtcControls& controls) {
    if (playing_) {
        return;
    }
    if (!paused_) {
        locate(controls);
        const int accuracy = std::clamp(controls.accuracyMs, kLeastAccuracyMs, kMostAccuracyMs);
        engine_.configMtc(rateCode(controls.rateIndex, controls.slow30),
                          static_cast<uint16_t>(accuracy),
                          parseLocation(controls.location, controls.rateIndex));
    }
    engine_.startMtc();
    playing_ = true;
    paused_ = false;
}

void MtcTransport::pause() {
    if (paused_) {
        engine_.startMtc();
        playing_ = true;
        paused_ = false;
    } else if (playing_) {
        engine_.stopMtc(false);
        playing_ = false;
        paused_ = true;
    }
}

void MtcTransport::stop() {
    if (playing_) {
        engine_.stopMtc(true);
    }
    playing_ = false;
    paused_ = false;
}

void MtcTransport::rewind(const MtcControls& controls) {
    engine_.stopMtc(true);
    locate(controls);
    playing_ = false;
    paused_ = false;
}

bool MtcTransport::receive(uint32_t word) {
    received_ = word;
    const int rate = rateIndexOf(word);
    if (rate == receivedRateIndex_) {
        return false;
    }
    receivedRateIndex_ = rate;
    return true;
}

MtcSettings MtcTransport::settingsOf(const MtcControls& controls) {
    return {parseLocation(controls.location, controls.rateIndex),
            std::clamp(controls.accuracyMs, kLeastAccuracyMs, kMostAccuracyMs),
            frameRate(controls.rateIndex).storedValue, controls.slow30};
}

void MtcTransport::shutDown() {
    if (playing_ || paused_) {
        engine_.stopMtc(true);
    }
    playing_ = false;
    paused_ = false;
}

std::string MtcTransport::displayText() const {
    return timeText(received_);
}

std::string MtcTransport::receivedRateLabel() const {
    return frameRate(receivedRateIndex_).label;
}

} // namespace corvex
