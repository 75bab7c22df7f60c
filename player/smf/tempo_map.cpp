#include "smf/tempo_map.h"

#include <algorithm>

namespace corvex::smf {

std::vector<TempoChange> tempoChanges(const MidiFile& file, const Track& track) {
    std::vector<TempoChange> changes;
    for (const TrackEvent& event : track.events) {
        if (event.kind != EventKind::Meta || event.metaType != meta::kTempo || event.length != 3) {
            continue;
        }
        auto bytes = file.bytes(event);
        uint32_t value = uint32_t{bytes[0]} << 16 | uint32_t{bytes[1]} << 8 | bytes[2];
        if (value != 0) {
            changes.push_back({event.tick, value});
        }
    }
    return changes;
}

TempoMap::TempoMap(TimeDivision division, const std::vector<TempoChange>& changes,
                   uint32_t initialMicrosecondsPerQuarter)
    : division_(division) {
    segments_.push_back({0, 0.0, initialMicrosecondsPerQuarter});
    for (const TempoChange& change : changes) {
        Segment& last = segments_.back();
        if (change.tick == last.tick) {
            last.microsecondsPerQuarter = change.microsecondsPerQuarter;
            continue;
        }
        double start = microsecondsAt(change.tick);
        segments_.push_back({change.tick, start, change.microsecondsPerQuarter});
    }
}

double TempoMap::microsecondsPerTick(const Segment& segment) const {
    if (division_.smpte) {
        return division_.smpteMicrosecondsPerTick();
    }
    return static_cast<double>(segment.microsecondsPerQuarter) / division_.ticksPerQuarter;
}

double TempoMap::microsecondsAt(uint64_t tick) const {
    auto after = std::upper_bound(segments_.begin(), segments_.end(), tick,
                                  [](uint64_t t, const Segment& s) { return t < s.tick; });
    const Segment& segment = *(after - 1);
    return segment.startMicroseconds +
           static_cast<double>(tick - segment.tick) * microsecondsPerTick(segment);
}

} // namespace corvex::smf
