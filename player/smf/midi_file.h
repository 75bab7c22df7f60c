// A Standard MIDI File as read: its format, time division and tracks of events in file
// order, with the bytes of every event in one pool. Plain data; any thread may read a file
// that no thread is changing.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvex::smf {

// Ticks per quarter note, or SMPTE frames per second and ticks per frame (absolute time:
// the tempo does not apply). framesPerSecond 29 stands for 29.97 (drop frame).
struct TimeDivision {
    bool smpte = false;
    uint16_t ticksPerQuarter = 0;
    uint8_t framesPerSecond = 0;
    uint8_t ticksPerFrame = 0;

    // Microseconds per tick under SMPTE division.
    double smpteMicrosecondsPerTick() const;
};

enum class EventKind : uint8_t {
    Channel,     // a channel message; its bytes are the whole message, status first
    SysEx,       // F0 event; its bytes follow the F0 (usually ending in F7)
    SysExEscape, // F7 event; its bytes are sent as they stand
    Meta,        // FF event of type metaType; its bytes are the meta data
};

namespace meta {
constexpr uint8_t kText = 0x01;
constexpr uint8_t kTrackName = 0x03;
constexpr uint8_t kEndOfTrack = 0x2F;
constexpr uint8_t kTempo = 0x51;
constexpr uint8_t kTimeSignature = 0x58;
} // namespace meta

struct TrackEvent {
    uint64_t tick = 0; // absolute, from the start of its track
    EventKind kind = EventKind::Channel;
    uint8_t metaType = 0;
    uint32_t offset = 0; // into MidiFile::pool
    uint32_t length = 0;
};

struct Track {
    std::vector<TrackEvent> events;
    uint64_t endTick = 0; // the end-of-track event's tick, else the last event's
};

struct MidiFile {
    uint16_t format = 0;
    TimeDivision division;
    std::vector<Track> tracks;
    std::vector<uint8_t> pool;
    // What was wrong but read as far as it was sound (trailing bytes, unknown chunks, a
    // missing end of track, a track length the data disproved), one sentence each.
    std::vector<std::string> warnings;
    // A track or an event ran past the end of the file: the file was cut short, and holds
    // the whole events before the cut.
    bool cutShort = false;

    std::span<const uint8_t> bytes(const TrackEvent& event) const {
        return {pool.data() + event.offset, event.length};
    }
};

} // namespace corvex::smf
