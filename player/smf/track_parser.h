// Parses the events of one track chunk, from its first byte up to its end-of-track event,
// the first data that makes no sense, or the end of the file, whichever comes first. The
// chunk's declared end is only used to tell whether an over-long variable-length number lies
// inside the track (refused) or past it (where the track simply stopped making sense).
// Event bytes are appended to the file's pool. Used by the reader only.
#pragma once

#include "smf/byte_cursor.h"
#include "smf/midi_file.h"

#include <span>
#include <string>
#include <vector>

namespace corvex::smf {

class TrackParser {
public:
    enum class Stop { EndOfTrack, Unsound };

    struct Result {
        std::vector<TrackEvent> events;
        std::vector<size_t> eventEnds; // the file position after each event
        Stop stop = Stop::Unsound;
        size_t end = 0;           // after the end-of-track event
        uint64_t endTick = 0;     // the end-of-track event's tick
        size_t stoppedAt = 0;     // where unsound data starts
        std::string problem;      // what is unsound there, as a sentence
        bool pastFileEnd = false; // the unsound event runs past the end of the file
    };

    TrackParser(std::span<const uint8_t> file, size_t start, size_t declaredEnd, size_t number);
    // Throws SmfError for a variable-length number over 4 bytes inside the declared track.
    Result parse(std::vector<uint8_t>& pool);

private:
    bool parseEvent(std::vector<uint8_t>& pool);
    bool readLength(uint32_t& length, size_t eventStart);
    bool channelMessage(uint8_t status, std::vector<uint8_t>& pool, size_t eventStart);
    bool dataEvent(EventKind kind, uint8_t metaType, std::vector<uint8_t>& pool, size_t eventStart);
    bool fail(size_t position, const std::string& what);
    bool failPastEnd(size_t position);

    std::span<const uint8_t> file_;
    ByteCursor cursor_;
    size_t declaredEnd_;
    size_t number_;
    uint64_t tick_ = 0;
    uint8_t runningStatus_ = 0;
    Result result_;
};

} // namespace corvex::smf
