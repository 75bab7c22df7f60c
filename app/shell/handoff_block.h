// The hand-off block: the fixed 528-byte record a second start of the program sends to a
// running instance to give it the map and SysEx files of its command line.
//
//   offset 0    int32  mapVerb    (0 none, 1 open, 2 play, 3 send)
//   offset 4    int32  sysexVerb
//   offset 8    260    mapPath    zero-terminated
//   offset 268  260    sysexPath  zero-terminated
//
// Integers are little-endian. Paths longer than 259 bytes do not fit and are refused, never
// cut (a cut path would name another file). Plain functions; any thread may call them.
#pragma once

#include "shell/command_line.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace corvex {

inline constexpr size_t kHandOffBlockSize = 528;
inline constexpr size_t kHandOffPathSize = 260;
inline constexpr size_t kHandOffMaxPathLength = kHandOffPathSize - 1;

using HandOffBytes = std::array<uint8_t, kHandOffBlockSize>;

struct HandOff {
    FileVerb mapVerb = FileVerb::None;
    std::string mapPath;
    FileVerb sysexVerb = FileVerb::None;
    std::string sysexPath;

    bool operator==(const HandOff&) const = default;
};

// The files of a parsed command line (a path without a verb, or a verb without a path,
// hands nothing over for that file).
HandOff handOffOf(const CommandLine& line);

// Nothing when a path is longer than 259 bytes or holds a NUL byte.
std::optional<HandOffBytes> encodeHandOff(const HandOff& handOff);

// Nothing when `bytes` is not exactly 528 bytes, a verb is not 0-3 or a path is not
// zero-terminated inside its field. A verb with an empty path, or a path with verb 0, reads
// as no file.
std::optional<HandOff> decodeHandOff(std::span<const uint8_t> bytes);

} // namespace corvex
