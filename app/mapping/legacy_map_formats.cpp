#include "mapping/legacy_map_formats.h"

#include "mapping/printf_text.h"
#include "mapping/sysex_pool.h"

#include <algorithm>
#include <limits>

namespace corvex {

namespace {

uint16_t wideBound(uint8_t bound) {
    return bound == 0xFF ? 0xFFFF : bound;
}

// A byte of the image, read as 0 beyond its end (the pool block is zero-filled).
uint8_t byteAt(std::span<const uint8_t> image, size_t offset) {
    return offset < image.size() ? image[offset] : 0;
}

uint16_t u16At(std::span<const uint8_t> image, size_t offset) {
    return static_cast<uint16_t>(byteAt(image, offset) | byteAt(image, offset + 1) << 8);
}

// For each item, the lowest non-zero offset among the items after it.
std::vector<uint32_t> lowestLaterOffsets(const std::vector<MapItem>& items) {
    std::vector<uint32_t> lowest(items.size(), std::numeric_limits<uint32_t>::max());
    for (size_t i = items.size(); i-- > 1;) {
        lowest[i - 1] = lowest[i];
        if (items[i].sysexOffset != 0) {
            lowest[i - 1] = std::min<uint32_t>(lowest[i - 1], items[i].sysexOffset);
        }
    }
    return lowest;
}

bool looksLikeOneByteCounts(const std::vector<MapItem>& items, std::span<const uint8_t> image) {
    std::vector<uint32_t> lowestLater = lowestLaterOffsets(items);
    int oldForm = 0;
    int newForm = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        size_t o = items[i].sysexOffset;
        if (o == 0) {
            continue;
        }
        uint16_t count = u16At(image, o);
        if (byteAt(image, o + 1) == 0xF0) {
            oldForm += 1;
        } else if (byteAt(image, o + 2) == 0xF0) {
            newForm += 1;
        } else if (count > MAP_SYSEX_STRING_MAX || lowestLater[i] < o + 2 + count) {
            oldForm += 10;
        }
    }
    return oldForm > newForm;
}

Version3Pool rebuildWithWideCounts(std::vector<MapItem>& items, std::span<const uint8_t> image) {
    Version3Pool pool;
    pool.image.assign(std::begin(kSysExPoolMagic), std::end(kSysExPoolMagic));
    for (size_t i = 0; i < items.size(); ++i) {
        size_t o = items[i].sysexOffset;
        if (o == 0) {
            continue;
        }
        if (o < MAP_SYSEX_POOL_HEADER || o >= image.size()) {
            pool.fault = printfText("item %zu %s", i + 1,
                                    describePoolFault(o < MAP_SYSEX_POOL_HEADER
                                                          ? PoolEntry::Fault::InsideHeader
                                                          : PoolEntry::Fault::PastEnd));
            return pool;
        }
        size_t count = image[o];
        if (o + 1 + count > image.size()) {
            pool.fault = printfText("item %zu has a one-byte SysEx count that runs past the "
                                    "end of the pool",
                                    i + 1);
            return pool;
        }
        if (pool.image.size() + 2 + count > MAP_SYSEX_POOL_SIZE) {
            pool.fault =
                printfText("the one-byte SysEx counts overflow the pool at item %zu", i + 1);
            return pool;
        }
        items[i].sysexOffset = static_cast<uint16_t>(pool.image.size());
        pool.image.push_back(static_cast<uint8_t>(count));
        pool.image.push_back(0);
        pool.image.insert(pool.image.end(), image.begin() + static_cast<ptrdiff_t>(o + 1),
                          image.begin() + static_cast<ptrdiff_t>(o + 1 + count));
    }
    return pool;
}

} // namespace

MapItem itemFromRecord16(std::span<const uint8_t, kRecord16Size> record, bool version1) {
    uint8_t r[kRecord16Size];
    std::copy(record.begin(), record.end(), r);
    if (version1) {
        r[0] = r[7] = 0xFF;
        r[14] = r[15] = 0;
    }
    MapItem item{};
    item.sourceChannel = r[1];
    item.sourceMessage = r[2];
    item.sourceV1Min = wideBound(r[3]);
    item.sourceV1Max = wideBound(r[4]);
    item.sourceV2Min = wideBound(r[5]);
    item.sourceV2Max = wideBound(r[6]);
    item.targetChannel = r[8];
    item.targetMessage = r[9];
    item.targetV1Min = wideBound(r[10]);
    item.targetV1Max = wideBound(r[11]);
    item.targetV2Min = wideBound(r[12]);
    item.targetV2Max = wideBound(r[13]);
    item.itemFlags = static_cast<uint16_t>(r[14] | r[15] << 8);
    return item;
}

Version3Pool convertVersion3Pool(std::vector<MapItem>& items, std::span<const uint8_t> image) {
    if (!looksLikeOneByteCounts(items, image)) {
        return {{image.begin(), image.end()}, {}};
    }
    return rebuildWithWideCounts(items, image);
}

} // namespace corvex
