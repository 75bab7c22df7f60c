// How large a data map may grow. The engine keeps a client's map items and SysEx data in one
// 64 KB storage block (SendMap); a map that does not fit there would be taken without its
// items or SysEx data. The SysEx pool holds less than 65,535 bytes. Readers refuse files
// that would break either limit. Pure functions: any thread.
#pragma once

#include "mapping/data_map.h"

#include <cstddef>
#include <span>
#include <string>

namespace corvex {

namespace map_storage {
// The engine's storage: 64 KB, 16-byte block headers, blocks rounded to 8 bytes; the items
// follow a 72-byte table header (count, NRPN/RPN channel masks, and per message type the
// channels and the last item a plain message can match) and the SysEx bytes a 4-byte length.
inline constexpr size_t kSize = 65536;
inline constexpr size_t kBlockHeader = 16;
inline constexpr size_t kItemTableHeader = 72;
inline constexpr size_t kSysExBlockHeader = 4;

constexpr size_t roundUp8(size_t bytes) {
    return (bytes + 7) & ~size_t{7};
}

// The engine copies a pool only when it holds an entry.
constexpr size_t sysexBlock(size_t sysexLength) {
    return sysexLength <= MAP_SYSEX_POOL_HEADER
               ? 0
               : kBlockHeader + roundUp8(kSysExBlockHeader + sysexLength);
}
} // namespace map_storage

// Bytes of engine map storage that a map of `items` items and a pool of `sysexLength`
// bytes takes, block headers and alignment included.
constexpr size_t engineMapStorage(size_t items, size_t sysexLength) {
    using namespace map_storage;
    size_t itemBlock =
        items == 0 ? 0 : kBlockHeader + roundUp8(kItemTableHeader + items * sizeof(MapItem));
    return itemBlock + sysexBlock(sysexLength);
}

// The most items a map with a pool of `sysexLength` bytes may have (0 when even the pool
// alone does not fit).
constexpr size_t maxMapItems(size_t sysexLength) {
    using namespace map_storage;
    size_t used = sysexBlock(sysexLength) + kBlockHeader + kItemTableHeader;
    return used >= kSize ? 0 : (kSize - used) / sizeof(MapItem);
}

// The most items of a map without SysEx entries.
inline constexpr size_t kMaxMapItems = maxMapItems(0);

// Empty when `map` can take `rows` (replacing or appending); otherwise the message saying
// which limit the file `path` would break.
std::string mapCapacityProblem(const DataMap& map, std::span<const MapRow> rows, bool append,
                               const std::string& path);

} // namespace corvex
