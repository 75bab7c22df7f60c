// The Standard MIDI File reader: formats 0, 1 and 2, ticks-per-quarter and SMPTE division,
// running status, meta events, F0 and F7 SysEx events; also the file wrapped in a RIFF
// "RMID" container.
//
// What users' files often get wrong is read as far as it is sound, with a warning in
// MidiFile::warnings: bytes after the last track, unknown chunks, a missing end of track,
// a track length that the data disproves (the track's end-of-track event ends it), data
// that stops making sense inside a track (the rest of that track is dropped), a track or
// event that runs past the end of the file (MidiFile::cutShort: the whole events before the
// cut are kept). Refused with an SmfError whose message says why: input that is not a MIDI
// file, a truncated header, an unknown format or frame rate, a zero division, a
// variable-length number of more than 4 bytes, a file without tracks, a file over
// kMaxFileBytes. The reader never reads outside the bytes it is given.
//
// Pure functions: any thread.
#pragma once

#include "smf/midi_file.h"

#include <cstddef>
#include <filesystem>
#include <span>
#include <stdexcept>

namespace corvex::smf {

class SmfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr size_t kMaxFileBytes = size_t{64} << 20;

MidiFile readMidiFile(std::span<const uint8_t> bytes);
// Reads the file at `path`; its errors (unreadable, too large) are SmfErrors too.
MidiFile readMidiFileAt(const std::filesystem::path& path);

} // namespace corvex::smf
