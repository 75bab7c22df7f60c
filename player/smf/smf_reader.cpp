#include "smf/smf_reader.h"

#include "smf/byte_cursor.h"
#include "smf/track_parser.h"

#include <cstring>
#include <fstream>
#include <string>

namespace corvex::smf {
namespace {

constexpr size_t kChunkHeaderBytes = 8;

std::string at(size_t position) {
    return "at byte " + std::to_string(position);
}

// Four printable ASCII characters at `position`: what a chunk header starts with.
bool isChunkId(std::span<const uint8_t> bytes, size_t position) {
    if (position > bytes.size() || bytes.size() - position < 4) {
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        if (bytes[position + i] < 0x20 || bytes[position + i] > 0x7E) {
            return false;
        }
    }
    return true;
}

bool hasId(std::span<const uint8_t> bytes, size_t position, const char* id) {
    return isChunkId(bytes, position) && std::memcmp(bytes.data() + position, id, 4) == 0;
}

uint32_t le32(std::span<const uint8_t> bytes, size_t position) {
    return uint32_t{bytes[position]} | uint32_t{bytes[position + 1]} << 8 |
           uint32_t{bytes[position + 2]} << 16 | uint32_t{bytes[position + 3]} << 24;
}

// The MIDI data inside a RIFF "RMID" container, or the bytes unchanged.
std::span<const uint8_t> unwrapRiff(std::span<const uint8_t> bytes) {
    if (!hasId(bytes, 0, "RIFF") || !hasId(bytes, 8, "RMID")) {
        return bytes;
    }
    size_t position = 12;
    while (bytes.size() - position >= kChunkHeaderBytes) {
        size_t length = le32(bytes, position + 4);
        size_t body = position + kChunkHeaderBytes;
        if (length > bytes.size() - body) {
            throw SmfError(
                "The RIFF MIDI file is truncated: a chunk runs past the end of the file.");
        }
        if (hasId(bytes, position, "data")) {
            return bytes.subspan(body, length);
        }
        position = body + length + (length & 1);
        if (position > bytes.size()) {
            break;
        }
    }
    throw SmfError("The RIFF MIDI file holds no MIDI data.");
}

TimeDivision readDivision(uint16_t word) {
    TimeDivision division;
    if (word & 0x8000u) {
        division.smpte = true;
        int fps = -static_cast<int8_t>(word >> 8);
        if (fps != 24 && fps != 25 && fps != 29 && fps != 30) {
            throw SmfError("The MIDI file's SMPTE frame rate (" + std::to_string(fps) +
                           ") is not one of 24, 25, 29.97 and 30.");
        }
        division.framesPerSecond = static_cast<uint8_t>(fps);
        division.ticksPerFrame = static_cast<uint8_t>(word & 0xFFu);
        if (division.ticksPerFrame == 0) {
            throw SmfError("The MIDI file's time division is 0 ticks per frame.");
        }
    } else {
        division.ticksPerQuarter = word;
        if (word == 0) {
            throw SmfError("The MIDI file's time division is 0 ticks per quarter note.");
        }
    }
    return division;
}

class FileReader {
public:
    explicit FileReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    MidiFile read() {
        size_t position = readHeader();
        while (file_.tracks.size() < trackCount_) {
            if (!readChunk(position)) {
                break;
            }
        }
        finish(position);
        return std::move(file_);
    }

private:
    size_t readHeader() {
        if (!hasId(bytes_, 0, "MThd")) {
            throw SmfError("This is not a MIDI file (it does not start with \"MThd\").");
        }
        ByteCursor cursor(bytes_, 4);
        auto length = cursor.be32();
        if (!length || *length < 6 || *length > cursor.remaining()) {
            throw SmfError("The MIDI file header is truncated.");
        }
        file_.format = *cursor.be16();
        trackCount_ = *cursor.be16();
        file_.division = readDivision(*cursor.be16());
        if (file_.format > 2) {
            throw SmfError("MIDI file format " + std::to_string(file_.format) +
                           " is not supported (only formats 0, 1 and 2).");
        }
        return kChunkHeaderBytes + *length;
    }

    // Reads the chunk at `position` and moves past it; false when nothing more can be read.
    bool readChunk(size_t& position) {
        if (bytes_.size() - position < kChunkHeaderBytes || !isChunkId(bytes_, position)) {
            return false;
        }
        size_t length = ByteCursor(bytes_, position + 4).be32().value();
        size_t body = position + kChunkHeaderBytes;
        if (hasId(bytes_, position, "MTrk")) {
            position = readTrack(body, body + length);
            return true;
        }
        if (length > bytes_.size() - body) {
            return false;
        }
        file_.warnings.push_back("An unknown chunk \"" +
                                 std::string(reinterpret_cast<const char*>(&bytes_[position]), 4) +
                                 "\" " + at(position) + " was skipped.");
        position = body + length;
        return true;
    }

    // Reads one track whose chunk claims the bytes [start, declaredEnd); returns where the
    // next chunk starts.
    size_t readTrack(size_t start, size_t declaredEnd) {
        size_t number = file_.tracks.size() + 1;
        TrackParser::Result result =
            TrackParser(bytes_, start, declaredEnd, number).parse(file_.pool);
        Track track;
        track.events = std::move(result.events);
        size_t next = declaredEnd;
        bool ended = result.stop == TrackParser::Stop::EndOfTrack;
        if (ended) {
            next = afterEndedTrack(result.end, declaredEnd, number);
        } else if (declaredEnd > bytes_.size() ||
                   (result.pastFileEnd && result.stoppedAt < declaredEnd)) {
            // Every whole event before the cut plays; nothing follows it.
            file_.cutShort = true;
            file_.warnings.push_back("Track " + std::to_string(number) +
                                     " runs past the end of the file: the file was cut short.");
            next = bytes_.size();
        } else if (result.stoppedAt < declaredEnd) {
            file_.warnings.push_back(result.problem);
        }
        if (ended && (next != declaredEnd || result.end <= declaredEnd)) {
            track.endTick = result.endTick;
        } else {
            keepEventsWithin(track, result.eventEnds, declaredEnd);
            track.endTick = track.events.empty() ? 0 : track.events.back().tick;
            if (!file_.cutShort) {
                file_.warnings.push_back("Track " + std::to_string(number) +
                                         " has no end-of-track event.");
            }
        }
        file_.tracks.push_back(std::move(track));
        return next;
    }

    // Where the next chunk starts after a track whose end-of-track event ends at `end`: the
    // declared end when it is a chunk boundary (or the data gives no reason to doubt it),
    // else the event's end, with a warning that the length was wrong.
    size_t afterEndedTrack(size_t end, size_t declaredEnd, size_t number) {
        bool declaredInFile = declaredEnd <= bytes_.size();
        bool declaredIsBoundary =
            declaredInFile && (declaredEnd == bytes_.size() || isChunkId(bytes_, declaredEnd));
        bool endIsBoundary = end == bytes_.size() || isChunkId(bytes_, end);
        if (end <= declaredEnd) {
            if (declaredIsBoundary || (declaredInFile && !endIsBoundary)) {
                return declaredEnd;
            }
        } else if (hasId(bytes_, declaredEnd, "MTrk")) {
            return declaredEnd; // the length holds: the track lacks its end
        }
        file_.warnings.push_back("Track " + std::to_string(number) +
                                 " has a wrong length; it was read to its end-of-track event.");
        return end;
    }

    static void keepEventsWithin(Track& track, const std::vector<size_t>& eventEnds, size_t end) {
        size_t keep = 0;
        while (keep < track.events.size() && eventEnds[keep] <= end) {
            ++keep;
        }
        track.events.resize(keep);
    }

    void finish(size_t position) {
        if (file_.tracks.empty()) {
            throw SmfError("The MIDI file holds no track.");
        }
        if (file_.tracks.size() < trackCount_) {
            file_.warnings.push_back("The header announces " + std::to_string(trackCount_) +
                                     " tracks; the file holds " +
                                     std::to_string(file_.tracks.size()) + ".");
        }
        if (position < bytes_.size()) {
            file_.warnings.push_back(std::to_string(bytes_.size() - position) +
                                     " bytes after the last track were ignored.");
        }
    }

    std::span<const uint8_t> bytes_;
    MidiFile file_;
    size_t trackCount_ = 0;
};

} // namespace

double TimeDivision::smpteMicrosecondsPerTick() const {
    double fps = framesPerSecond == 29 ? 30000.0 / 1001.0 : framesPerSecond;
    return 1e6 / (fps * ticksPerFrame);
}

MidiFile readMidiFile(std::span<const uint8_t> bytes) {
    if (bytes.size() > kMaxFileBytes) {
        throw SmfError("The file is too large for a MIDI file (over 64 MiB).");
    }
    return FileReader(unwrapRiff(bytes)).read();
}

MidiFile readMidiFileAt(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw SmfError("\"" + path.string() + "\" is a folder, not a MIDI file.");
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        throw SmfError("\"" + path.string() + "\" cannot be opened.");
    }
    std::vector<uint8_t> bytes;
    char buffer[65536];
    while (stream.read(buffer, sizeof buffer) || stream.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + stream.gcount());
        if (bytes.size() > kMaxFileBytes) {
            throw SmfError("The file is too large for a MIDI file (over 64 MiB).");
        }
    }
    if (stream.bad()) {
        throw SmfError("\"" + path.string() + "\" cannot be read.");
    }
    return readMidiFile(bytes);
}

} // namespace corvex::smf
