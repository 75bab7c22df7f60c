#include "instruments/chord_generator.h"

#include <algorithm>

namespace corvex {
namespace {

constexpr int kOctave = 12;

struct Intervals {
    std::array<int, 4> semitones;
    size_t count;
};

constexpr std::array<Intervals, kChordTypeCount> kIntervals = {{
    {{3, 7}, 2},         // minor
    {{4, 7}, 2},         // major
    {{3, 7, 9}, 3},      // minor sixth
    {{3, 7, 10}, 3},     // minor seventh
    {{4, 7, 9}, 3},      // sixth
    {{4, 7, 10}, 3},     // seventh
    {{4, 7, 10, 14}, 4}, // ninth
}};

using ButtonChord = std::array<int, 4>;
constexpr ButtonChord kButtonChords[kVoicingCount][kChordButtonCount] = {
    {{0, 4, 7, 11},
     {0, 2, 5, 9},
     {-1, 2, 4, 7},
     {0, 4, 5, 9},
     {2, 5, 7, 11},
     {0, 4, 7, 9},
     {-1, 2, 5, 9},
     {0, 4, 7, 11}},
    {{0, 4, 7, 11},
     {2, 5, 9, 12},
     {4, 7, 11, 14},
     {5, 9, 12, 16},
     {7, 11, 14, 17},
     {9, 12, 16, 19},
     {11, 14, 17, 21},
     {12, 16, 19, 23}},
    {{-5, 0, 4, 11},
     {-3, 2, 5, 12},
     {-1, 4, 7, 14},
     {0, 5, 9, 16},
     {2, 7, 11, 17},
     {4, 9, 12, 19},
     {5, 11, 14, 21},
     {7, 12, 16, 23}},
};

} // namespace

void ChordTones::add(int note) {
    const auto end = notes.begin() + static_cast<std::ptrdiff_t>(count);
    if (note < 0 || note > 127 || std::find(notes.begin(), end, note) != end) {
        return;
    }
    notes[count++] = note;
}

ChordTones chordOf(int root, ChordType type, const ChordFlags& flags) {
    const Intervals& intervals = kIntervals[static_cast<size_t>(type)];
    ChordTones tones;
    tones.add(flags.rootUp ? root + kOctave : root);
    for (size_t slot = 0; slot < 4; ++slot) {
        int interval = intervals.semitones[slot];
        if (slot == 0 && flags.diminished) {
            interval -= 1;
        } else if (slot == 1) {
            interval += flags.diminished ? -1 : (flags.augmented ? 1 : 0);
            interval -= flags.fifthDown ? kOctave : 0;
        } else if (slot == 3 && flags.addOctave && type != ChordType::Ninth) {
            tones.add(root + kOctave);
            continue;
        }
        if (slot < intervals.count) {
            tones.add(root + interval);
        }
    }
    return tones;
}

ChordTones chordButtonTones(int button, int voicing, int octave, int chordKey) {
    ChordTones tones;
    if (button < 0 || button >= kChordButtonCount || voicing < 0 || voicing >= kVoicingCount) {
        return tones;
    }
    for (int step : kButtonChords[voicing][button]) {
        tones.add(octave * kOctave + chordKey + step);
    }
    return tones;
}

} // namespace corvex
