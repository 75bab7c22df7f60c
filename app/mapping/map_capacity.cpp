#include "mapping/map_capacity.h"

#include "mapping/printf_text.h"

namespace corvex {

std::string mapCapacityProblem(const DataMap& map, std::span<const MapRow> rows, bool append,
                               const std::string& path) {
    size_t sysexLength = map.poolLengthAfter(rows, append);
    size_t items = rows.size() + (append ? map.items().size() : 0);
    if (sysexLength >= MAP_SYSEX_POOL_SIZE) {
        return printfText("Map '%s' has %zu bytes of SysEx data: more than a data map's SysEx "
                          "pool of %u bytes holds.",
                          path.c_str(), sysexLength - MAP_SYSEX_POOL_HEADER,
                          MAP_SYSEX_POOL_SIZE - MAP_SYSEX_POOL_HEADER - 1);
    }
    if (engineMapStorage(items, sysexLength) > map_storage::kSize) {
        return printfText("Map '%s' would give the data map %zu items and %zu bytes of SysEx data. "
                          "The engine's 64 KB map storage takes at most %zu items with that SysEx "
                          "data (%zu items without SysEx data).",
                          path.c_str(), items, sysexLength - MAP_SYSEX_POOL_HEADER,
                          maxMapItems(sysexLength), kMaxMapItems);
    }
    return {};
}

} // namespace corvex
