// What the MIDI sync transport does: runs the engine's clock generator at a tempo and
// timebase, sends start, continue, stop and song position, moves by measures, shows the
// song position and tempo the engine reports, and can drive the MTC transport along.
//
// States: idle or playing, independently the clock running or not (started by Play, or
// owned by "Send Clock"); linked to the MTC transport or not.
//
// Threads: the user-interface thread only.
#pragma once

#include "transport/transport_engine.h"

#include <cstdint>
#include <span>
#include <string>

namespace corvex {

// The "Options" settings of the sync transport.
struct SyncSettings {
    int accuracyMs = 5;
    int tempo = 100; // BPM, 8-300
    int timebase = 120;
    int meterTop = 4;
    int meterBottom = 4;
};

inline constexpr int kLeastTempo = 8;
inline constexpr int kMostTempo = 300;

// The timebases offered, and whether a value is one of them; likewise the meter bottoms.
std::span<const int> timebases();
std::span<const int> meterBottoms();
bool isTimebase(int value);
bool isMeterBottom(int value);

// The MTC transport as the sync transport drives it while linked.
class MtcLink {
public:
    virtual ~MtcLink() = default;
    virtual void openMtcTransport() = 0; // opens the MTC transport when it is not open
    virtual void lockMtcTransport(bool locked) = 0;
    virtual void pressMtcPlay() = 0;
    virtual void pressMtcPause() = 0;
    virtual void pressMtcStop() = 0;
    virtual void pressMtcRewind() = 0;
};

class SyncTransport {
public:
    // Configures the clock generator with `settings`.
    SyncTransport(TransportEngine& engine, MtcLink& link, const SyncSettings& settings);

    // The tempo typed in the tempo field, read when the clock starts.
    void play(int typedTempo);
    void pause();
    void rewind();
    void back();
    void forward();
    // "Send Clock" checked or unchecked; ignored while playing.
    void sendClock(bool on, int typedTempo);
    // A tempo edit takes effect at once, limited to 8-300 BPM.
    void tempoEdited(int tempo);
    // Kept for the next start; false (refused, the caller beeps) for a value out of range:
    // a meter top or timebase of 0 is never divided by.
    bool setAccuracy(int ms);
    bool setTimebase(int timebase);
    bool setMeterTop(int top);
    bool setMeterBottom(int bottom);
    void setLinked(bool linked);

    // WM_CVX_TEMPO and WM_CVX_SONG_POSITION as the engine posts them.
    void receiveTempo(intptr_t lParam);
    void receivePosition(uintptr_t wParam, intptr_t lParam);

    // Escape: a running clock stops.
    void escape();
    // The window goes: the clock and a linked MTC transport are stopped; the settings to
    // keep are returned with the tempo typed last.
    SyncSettings shutDown(int typedTempo);

    bool playing() const { return playing_; }
    bool clockRunning() const { return clockRunning_; }
    bool linked() const { return linked_; }
    bool sendClockEnabled() const { return !playing_; } // also the link box
    bool clockSettingsEnabled() const { return !playing_ && !clockRunning_; }
    const SyncSettings& settings() const { return settings_; }
    uint32_t position() const { return position_; }

    std::string positionText() const; // "measure:beat:tick"
    std::string tempoText() const;    // "%5d BPM "

private:
    void startClock(int typedTempo);
    void stopClockStartedByPlay();
    void configure();
    void locateToBeat(uint32_t beat);
    uint32_t currentMeasure() const;

    TransportEngine& engine_;
    MtcLink& link_;
    SyncSettings settings_;
    bool playing_ = false;
    bool clockRunning_ = false;
    bool startedByPlay_ = false;
    bool linked_ = false;
    uint32_t position_ = 0;    // ticks of the timebase
    uint32_t receivedBpm_ = 0; // 0 until a tempo was received
};

} // namespace corvex
