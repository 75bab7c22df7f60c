// The events of a MIDI file merged into one list in playing order, each with its time in
// microseconds from the start and the bytes to send: channel messages whole, F0 SysEx with
// its F0, F7 escapes as they stand. Format 0 and 1 tracks play together under the tempo
// changes of all tracks; format 2 tracks play one after another, each under its own tempo
// changes (a track starts in the tempo the previous one ended with). Events at the same
// time keep track order, then file order. Meta events are not played.
//
// Built on any thread; read-only afterwards, so any thread may read it.
#pragma once

#include "smf/midi_file.h"

#include <cstdint>
#include <span>
#include <vector>

namespace corvex::smf {

struct PlayEvent {
    int64_t timeMicroseconds = 0;
    uint32_t offset = 0;
    uint32_t length = 0;
};

class PlayList {
public:
    PlayList() = default;
    static PlayList fromFile(const MidiFile& file);

    const std::vector<PlayEvent>& events() const { return events_; }
    std::span<const uint8_t> bytes(const PlayEvent& event) const {
        return {pool_.data() + event.offset, event.length};
    }
    // The end of the longest track (its end-of-track event).
    int64_t lengthMicroseconds() const { return lengthMicroseconds_; }
    int64_t lengthMilliseconds() const { return lengthMicroseconds_ / 1000; }
    // The index of the first event at or after `timeMicroseconds`.
    size_t firstAtOrAfter(int64_t timeMicroseconds) const;

private:
    void add(const MidiFile& file, const TrackEvent& event, int64_t timeMicroseconds);
    void addTracksTogether(const MidiFile& file);
    void addTracksInTurn(const MidiFile& file);

    std::vector<PlayEvent> events_;
    std::vector<uint8_t> pool_;
    int64_t lengthMicroseconds_ = 0;
};

} // namespace corvex::smf
