#include "mapping/sysex_pool.h"

namespace corvex {

PoolEntry poolEntryAt(std::span<const uint8_t> image, uint16_t offset) {
    using Fault = PoolEntry::Fault;
    if (offset == 0) {
        return {};
    }
    if (offset < MAP_SYSEX_POOL_HEADER) {
        return {{}, Fault::InsideHeader};
    }
    if (size_t{offset} + 2 > image.size()) {
        return {{}, Fault::PastEnd};
    }
    size_t count = image[offset] | size_t{image[offset + 1]} << 8;
    if (size_t{offset} + 2 + count > image.size()) {
        return {{}, Fault::RunsPastEnd};
    }
    if (count > MAP_SYSEX_STRING_MAX) {
        return {{}, Fault::TooLong};
    }
    return {image.subspan(size_t{offset} + 2, count), Fault::None};
}

const char* describePoolFault(PoolEntry::Fault fault) {
    switch (fault) {
    case PoolEntry::Fault::InsideHeader:
        return "points into the SysEx pool's header";
    case PoolEntry::Fault::PastEnd:
        return "points past the end of the SysEx pool";
    case PoolEntry::Fault::RunsPastEnd:
        return "has a SysEx entry that runs past the end of the pool";
    case PoolEntry::Fault::TooLong:
        return "has a SysEx entry longer than 1022 bytes";
    case PoolEntry::Fault::None:
        break;
    }
    return "is in order";
}

} // namespace corvex
