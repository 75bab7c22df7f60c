#include "smf/play_list.h"

#include "smf/tempo_map.h"

#include <algorithm>
#include <cmath>

namespace corvex::smf {
namespace {

// Times are kept below about 290 years (absurd for a file, possible for a broken one), and
// sums of them saturate there, so no arithmetic on them overflows.
constexpr int64_t kLimitMicroseconds = int64_t{1} << 53;

int64_t toMicroseconds(double value) {
    return std::llround(std::min(value, static_cast<double>(kLimitMicroseconds)));
}

int64_t later(int64_t start, int64_t offset) {
    return std::min(start + offset, kLimitMicroseconds);
}

} // namespace

PlayList PlayList::fromFile(const MidiFile& file) {
    PlayList list;
    if (file.format == 2) {
        list.addTracksInTurn(file);
    } else {
        list.addTracksTogether(file);
    }
    return list;
}

void PlayList::add(const MidiFile& file, const TrackEvent& event, int64_t timeMicroseconds) {
    if (event.kind == EventKind::Meta) {
        return;
    }
    auto bytes = file.bytes(event);
    if (event.kind == EventKind::SysExEscape && bytes.empty()) {
        return;
    }
    PlayEvent played{timeMicroseconds, static_cast<uint32_t>(pool_.size()), 0};
    if (event.kind == EventKind::SysEx) {
        pool_.push_back(0xF0);
    }
    pool_.insert(pool_.end(), bytes.begin(), bytes.end());
    played.length = static_cast<uint32_t>(pool_.size() - played.offset);
    events_.push_back(played);
}

void PlayList::addTracksTogether(const MidiFile& file) {
    std::vector<TempoChange> changes;
    for (const Track& track : file.tracks) {
        auto own = tempoChanges(file, track);
        changes.insert(changes.end(), own.begin(), own.end());
    }
    std::stable_sort(changes.begin(), changes.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    TempoMap map(file.division, changes);
    for (const Track& track : file.tracks) {
        for (const TrackEvent& event : track.events) {
            add(file, event, toMicroseconds(map.microsecondsAt(event.tick)));
        }
        lengthMicroseconds_ =
            std::max(lengthMicroseconds_, toMicroseconds(map.microsecondsAt(track.endTick)));
    }
    std::stable_sort(events_.begin(), events_.end(), [](const PlayEvent& a, const PlayEvent& b) {
        return a.timeMicroseconds < b.timeMicroseconds;
    });
}

void PlayList::addTracksInTurn(const MidiFile& file) {
    uint32_t tempo = kDefaultMicrosecondsPerQuarter;
    for (const Track& track : file.tracks) {
        TempoMap map(file.division, tempoChanges(file, track), tempo);
        int64_t start = lengthMicroseconds_;
        for (const TrackEvent& event : track.events) {
            add(file, event, later(start, toMicroseconds(map.microsecondsAt(event.tick))));
        }
        lengthMicroseconds_ = later(start, toMicroseconds(map.microsecondsAt(track.endTick)));
        tempo = map.finalMicrosecondsPerQuarter();
    }
}

size_t PlayList::firstAtOrAfter(int64_t timeMicroseconds) const {
    auto found =
        std::lower_bound(events_.begin(), events_.end(), timeMicroseconds,
                         [](const PlayEvent& e, int64_t t) { return e.timeMicroseconds < t; });
    return static_cast<size_t>(found - events_.begin());
}

} // namespace corvex::smf
