// Which note each computer key plays: 43 keys, each with its name in the key map file
// "KEYNOTE.INI" (section "KeyMap"), the character it produces and a note offset from the
// start of the current octave (-1: no note). The user's file is completed with the default
// of every key it lacks; a value that is not a whole number from -1 to 127 keeps the default.
//
// Threads: any; one map per thread.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace corvex {

inline constexpr char kKeyMapFileName[] = "KEYNOTE.INI";
inline constexpr char kKeyMapSection[] = "KeyMap";
inline constexpr int kNoNote = -1;

struct KeyNote {
    std::string_view name; // the key name in the file
    char character;        // upper case for letters
    int offset;            // semitones above the octave's start, or kNoNote
};

class KeyMap {
public:
    static constexpr size_t kKeyCount = 43;

    KeyMap(); // the defaults

    // The offset of the key producing `character`, or kNoNote when no key produces it.
    int offsetOf(char character) const;
    const std::array<KeyNote, kKeyCount>& keys() const { return keys_; }
    // Sets the offset of the key named `name` (file names compare without regard to case);
    // false when no key has that name.
    bool setOffset(std::string_view name, int offset);

private:
    std::array<KeyNote, kKeyCount> keys_; // sorted by character
};

// The key map of the file at `path`: its readable entries over the defaults. Entries the
// file lacks are written to it with their defaults (a missing file is created); a file that
// exists but cannot be read is left alone and the defaults are used.
KeyMap readKeyMap(const std::string& path);

// Parses one value of the key map file: a whole number from -1 to 127 (blanks around it
// allowed), or nothing.
std::optional<int> parseKeyOffset(std::string_view text);

} // namespace corvex
