// The chords the computer keyboard plays: a chord of one of seven types on a key's note,
// changed by the inversion and colour flags, and the eight four-note chord buttons in three
// voicings on the chord key. Tones outside the MIDI note range 0-127 are dropped, and a
// tone that the flags make equal to an earlier one is played once.
//
// Threads: any (pure functions).
#pragma once

#include <array>
#include <cstddef>

namespace corvex {

enum class ChordType { Minor, Major, MinorSixth, MinorSeventh, Sixth, Seventh, Ninth };
inline constexpr int kChordTypeCount = 7;
inline constexpr int kChordButtonCount = 8;
inline constexpr int kVoicingCount = 3;

struct ChordFlags {
    bool rootUp = false;     // the root an octave up
    bool fifthDown = false;  // the fifth (second interval) an octave down
    bool augmented = false;  // the second interval a semitone up
    bool diminished = false; // the first two intervals a semitone down
    bool addOctave = false;  // the root's octave as a fourth tone (not on a ninth)
};

// Up to five tones, in the order they are played.
struct ChordTones {
    std::array<int, 5> notes{};
    size_t count = 0;

    void add(int note); // drops a note outside 0-127 or one already in the chord
    bool operator==(const ChordTones&) const = default;
};

// The chord of `type` on `root`.
ChordTones chordOf(int root, ChordType type, const ChordFlags& flags);

// The tones of chord button `button` (0-7) in `voicing` (0-2) on the chord key (0-11)
// at `octave`.
ChordTones chordButtonTones(int button, int voicing, int octave, int chordKey);

} // namespace corvex
