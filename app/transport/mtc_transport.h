// What the MTC transport does: starts, pauses, stops and rewinds the engine's time-code
// generator from a typed location at a chosen frame rate, keeps the time the engine last
// reported, and says which controls are usable in each state.
//
// States: idle, playing (generator running), paused (stopped keeping its position);
// locked (driven by the sync transport) independently.
//
// Threads: the user-interface thread only.
#pragma once

#include "transport/transport_engine.h"

#include <cstdint>
#include <string>

namespace corvex {

// The "Options" settings of the MTC transport.
struct MtcSettings {
    uint32_t offset = 0; // start location, a time word with rate bits 0
    int accuracyMs = 5;  // 1-10
    int frameRate = 30;  // stored rate value: 24, 25, 29 (30 drop) or 30
    bool slow30 = false; // "Use 2&9.97"
};

// The window's setting controls as they stand.
struct MtcControls {
    std::string location;
    int accuracyMs = 5;
    int rateIndex = 3;
    bool slow30 = false;
};

inline constexpr int kLeastAccuracyMs = 1;
inline constexpr int kMostAccuracyMs = 10;

class MtcTransport {
public:
    // `receivedRateIndex`: the received-rate label shown when the window last closed.
    MtcTransport(TransportEngine& engine, int receivedRateIndex);

    // The generator's rate argument: the rate index, or 4 for 29.97 at 30 fps.
    static uint16_t rateCode(int rateIndex, bool slow30);

    // From idle: a full frame for the location, the generator configured; from idle or
    // paused the generator runs. Nothing while playing. A locked transport still obeys
    // the sync transport that drives it; only its own buttons are disabled.
    void play(const MtcControls& controls);
    // Playing ↔ paused; nothing when idle.
    void pause();
    // Stops a running generator back to its start; idle.
    void stop();
    // Stops and returns the generator to its start (also when idle), then locates the
    // receivers at the location with a full frame; idle.
    void rewind(const MtcControls& controls);
    void setLocked(bool locked) { locked_ = locked; }

    // A time word the engine reported; true when the received rate changed.
    bool receive(uint32_t word);

    // Closing is refused while playing.
    bool canClose() const { return !playing_; }
    // The settings to keep from the controls when the window closes.
    static MtcSettings settingsOf(const MtcControls& controls);
    // The window goes: a running or paused generator is stopped and rewound.
    void shutDown();

    bool playing() const { return playing_; }
    bool paused() const { return paused_; }
    bool locked() const { return locked_; }
    bool settingControlsEnabled() const { return !playing_ && !paused_ && !locked_; }
    bool transportButtonsEnabled() const { return !locked_; }

    std::string displayText() const;
    std::string receivedRateLabel() const;
    int receivedRateIndex() const { return receivedRateIndex_; }

private:
    void locate(const MtcControls& controls);

    TransportEngine& engine_;
    bool playing_ = false;
    bool paused_ = false;
    bool locked_ = false;
    uint32_t received_ = 0;
    int receivedRateIndex_;
};

} // namespace corvex
