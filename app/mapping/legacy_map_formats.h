// The older binary map file versions, converted on reading:
// - versions 1 and 2 hold 16-byte records with single-byte bounds (255 = any) and no pool;
// - version 3 pools may hold entries whose count is a single byte, recognised by scoring
//   the entries the items name and rebuilt with u16 counts.
// Pure functions: any thread.
#pragma once

#include "cvx_records.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvex {

inline constexpr size_t kRecord16Size = 16;

// One 16-byte record as a MapItem (`sysexOffset` 0). Version 1 records first have bytes 0
// and 7 set to 255 and their flags cleared.
MapItem itemFromRecord16(std::span<const uint8_t, kRecord16Size> record, bool version1);

struct Version3Pool {
    std::vector<uint8_t> image; // the pool image the items' offsets now point into
    std::string fault;          // non-empty: the file is damaged (what is wrong)
};

// Scores the entries that `items` name in `image` (the file's pool image, at most 65,535
// bytes) and, when most look like one-byte counts, rebuilds the pool with u16 counts and
// rewrites the items' offsets. Otherwise the image is returned as it is.
Version3Pool convertVersion3Pool(std::vector<MapItem>& items, std::span<const uint8_t> image);

} // namespace corvex
