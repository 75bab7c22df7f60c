// Converts a track's ticks to microseconds: under ticks-per-quarter division through the
// tempo changes (500,000 microseconds per quarter note until the first), under SMPTE
// division at the constant rate of the frames. Any thread, once built.
#pragma once

#include "smf/midi_file.h"

#include <cstdint>
#include <vector>

namespace corvex::smf {

constexpr uint32_t kDefaultMicrosecondsPerQuarter = 500000;

struct TempoChange {
    uint64_t tick = 0;
    uint32_t microsecondsPerQuarter = kDefaultMicrosecondsPerQuarter;
};

// The tempo events of `track` in tick order (a tempo meta event of 3 bytes with a non-zero
// value; others are ignored).
std::vector<TempoChange> tempoChanges(const MidiFile& file, const Track& track);

class TempoMap {
public:
    // `changes` in tick order (equal ticks: the later one holds).
    TempoMap(TimeDivision division, const std::vector<TempoChange>& changes,
             uint32_t initialMicrosecondsPerQuarter = kDefaultMicrosecondsPerQuarter);

    double microsecondsAt(uint64_t tick) const;
    // The tempo in force after the last change.
    uint32_t finalMicrosecondsPerQuarter() const { return segments_.back().microsecondsPerQuarter; }

private:
    struct Segment {
        uint64_t tick;
        double startMicroseconds;
        uint32_t microsecondsPerQuarter;
    };
    double microsecondsPerTick(const Segment& segment) const;

    TimeDivision division_;
    std::vector<Segment> segments_;
};

} // namespace corvex::smf
