#include "mapping/binary_map_file.h"

#include "ini/profile_file.h"
#include "mapping/legacy_map_formats.h"
#include "mapping/map_capacity.h"
#include "mapping/printf_text.h"
#include "mapping/sysex_pool.h"

#include <bit>
#include <cstring>

namespace corvex {

static_assert(std::endian::native == std::endian::little,
              "map records are stored little-endian, as they are held in memory");

namespace {

constexpr char kMagic[6] = {'C', 'v', 'x', 'M', 'a', 'p'};
constexpr uint16_t kWrittenVersion = 5;
constexpr size_t kHeaderSize = 16;
constexpr size_t kRecord16Start = 10;

uint16_t u16At(std::span<const uint8_t> file, size_t offset) {
    return static_cast<uint16_t>(file[offset] | file[offset + 1] << 8);
}

uint32_t u32At(std::span<const uint8_t> file, size_t offset) {
    return u16At(file, offset) | uint32_t{u16At(file, offset + 2)} << 16;
}

// What a file holds: a map's rows and options, or why it is not one.
struct Decoded {
    enum class Verdict { Map, NotAMap, UnknownVersion, Damaged };
    Verdict verdict = Verdict::Map;
    std::string fault; // Damaged: what is wrong
    std::vector<MapRow> rows;
    uint16_t options = 0;
};

Decoded damaged(std::string fault) {
    Decoded decoded;
    decoded.verdict = Decoded::Verdict::Damaged;
    decoded.fault = std::move(fault);
    return decoded;
}

Decoded roomProblem(int count, size_t start, size_t recordSize, size_t fileSize) {
    size_t room = fileSize > start ? (fileSize - start) / recordSize : 0;
    return damaged(printfText("it says it holds %d items, but there is room for %zu", count, room));
}

Decoded decodeRecords16(std::span<const uint8_t> file, bool version1, int count) {
    if (file.size() < kRecord16Start + 2) {
        return damaged("it is shorter than a map file's header");
    }
    if (kRecord16Start + static_cast<size_t>(count) * kRecord16Size > file.size()) {
        return roomProblem(count, kRecord16Start, kRecord16Size, file.size());
    }
    Decoded decoded;
    decoded.options = u16At(file, kRecord16Start);
    decoded.rows.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < decoded.rows.size(); ++i) {
        auto record = file.subspan(kRecord16Start + i * kRecord16Size).first<kRecord16Size>();
        decoded.rows[i].item = itemFromRecord16(record, version1);
    }
    return decoded;
}

// The pool image of a version 3-5 file; empty when the file has none. Sets `fault` for an
// offset that lies in the header, among the items or past the end of the file.
std::span<const uint8_t> poolImageOf(std::span<const uint8_t> file, size_t itemsEnd,
                                     std::string& fault) {
    uint32_t offset = u32At(file, 12);
    if (offset == 0 || offset == kHeaderSize) {
        return {};
    }
    if (offset < kHeaderSize) {
        fault = printfText("its SysEx offset %u lies inside the header", offset);
    } else if (offset < itemsEnd) {
        fault = printfText("its SysEx offset %u lies among the items", offset);
    } else if (offset > file.size()) {
        fault = printfText("its SysEx offset %u lies past the end of the file (%zu bytes)", offset,
                           file.size());
    } else {
        return file.subspan(offset);
    }
    return {};
}

Decoded decodeItems24(std::span<const uint8_t> file, uint16_t version, int count) {
    if (file.size() < kHeaderSize) {
        return damaged("it is shorter than a map file's header");
    }
    size_t itemsEnd = kHeaderSize + static_cast<size_t>(count) * sizeof(MapItem);
    if (itemsEnd > file.size()) {
        return roomProblem(count, kHeaderSize, sizeof(MapItem), file.size());
    }
    std::vector<MapItem> items(static_cast<size_t>(count));
    if (count > 0) {
        std::memcpy(items.data(), file.data() + kHeaderSize, items.size() * sizeof(MapItem));
    }
    std::string fault;
    std::span<const uint8_t> image = poolImageOf(file, itemsEnd, fault);
    if (!fault.empty()) {
        return damaged(fault);
    }
    std::vector<uint8_t> converted;
    if (version == 3 && !image.empty()) {
        if (image.size() > MAP_SYSEX_POOL_SIZE) {
            return damaged(printfText("its SysEx pool image is %zu bytes long; a pool holds at "
                                      "most %u",
                                      image.size(), MAP_SYSEX_POOL_SIZE));
        }
        Version3Pool pool = convertVersion3Pool(items, image);
        if (!pool.fault.empty()) {
            return damaged(pool.fault);
        }
        converted = std::move(pool.image);
        image = converted;
    }
    Decoded decoded;
    decoded.options = u16At(file, 10);
    decoded.rows.resize(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        decoded.rows[i].item = items[i];
        if (image.empty()) {
            continue; // without a pool no item has an entry
        }
        PoolEntry entry = poolEntryAt(image, items[i].sysexOffset);
        if (entry.fault != PoolEntry::Fault::None) {
            return damaged(printfText("item %zu %s", i + 1, describePoolFault(entry.fault)));
        }
        decoded.rows[i].sysex.assign(entry.bytes.begin(), entry.bytes.end());
    }
    return decoded;
}

Decoded decode(std::span<const uint8_t> file) {
    if (file.size() < sizeof kMagic || std::memcmp(file.data(), kMagic, sizeof kMagic) != 0) {
        Decoded decoded;
        decoded.verdict = Decoded::Verdict::NotAMap;
        return decoded;
    }
    if (file.size() < 10) {
        return damaged("it is shorter than a map file's header");
    }
    uint16_t version = u16At(file, 6);
    if (version < 1 || version > 5) {
        Decoded decoded;
        decoded.verdict = Decoded::Verdict::UnknownVersion;
        return decoded;
    }
    auto count = static_cast<int16_t>(u16At(file, 8));
    if (count < 0) {
        return damaged(printfText("its item count %d is negative", count));
    }
    if (version <= 2) {
        return decodeRecords16(file, version == 1, count);
    }
    return decodeItems24(file, version, count);
}

void putU16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

} // namespace

MapFileResult readBinaryMapImage(DataMap& map, std::span<const uint8_t> file,
                                 const std::string& name, bool append, bool quiet) {
    MapFileResult result;
    if (file.empty()) {
        if (!quiet) {
            result.message = printfText("Map file '%s' is empty.", name.c_str());
        }
        return result;
    }
    Decoded decoded = decode(file);
    switch (decoded.verdict) {
    case Decoded::Verdict::NotAMap:
        if (!quiet) {
            result.message = "Invalid Map File.";
        }
        return result;
    case Decoded::Verdict::UnknownVersion:
        result.message = "Map File version not understood.";
        return result;
    case Decoded::Verdict::Damaged:
        result.message =
            printfText("Map file '%s' is damaged: %s.", name.c_str(), decoded.fault.c_str());
        return result;
    case Decoded::Verdict::Map:
        break;
    }
    result.message = mapCapacityProblem(map, decoded.rows, append, name);
    if (!result.message.empty()) {
        return result;
    }
    map.load(decoded.rows, append);
    map.options = decoded.options;
    result.ok = true;
    return result;
}

MapFileResult readBinaryMap(DataMap& map, const std::string& path, bool append, bool quiet) {
    cvx::profile::ProfileText text = cvx::profile::readProfileFile(path);
    if (text.status != cvx::profile::ReadStatus::Read) {
        MapFileResult result;
        if (!quiet) {
            result.message = printfText("Cannot read map file '%s'.", path.c_str());
        }
        return result;
    }
    auto bytes = std::as_bytes(std::span(text.text));
    return readBinaryMapImage(map, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()},
                              path, append, quiet);
}

std::string binaryMapImage(const DataMap& map) {
    std::span<const MapItem> items = map.items();
    size_t itemsEnd = kHeaderSize + items.size_bytes();
    uint32_t sysexOffset = map.hasPool() ? static_cast<uint32_t>(itemsEnd) : 0;
    std::string out(kMagic, sizeof kMagic);
    putU16(out, kWrittenVersion);
    putU16(out, static_cast<uint16_t>(items.size()));
    putU16(out, map.options);
    putU16(out, static_cast<uint16_t>(sysexOffset & 0xFFFF));
    putU16(out, static_cast<uint16_t>(sysexOffset >> 16));
    out.append(reinterpret_cast<const char*>(items.data()), items.size_bytes());
    std::span<const uint8_t> pool = map.poolImage();
    out.append(reinterpret_cast<const char*>(pool.data()), pool.size());
    return out;
}

MapFileResult writeBinaryMap(const DataMap& map, const std::string& path) {
    MapFileResult result;
    if (map.items().size() > static_cast<size_t>(INT16_MAX)) {
        result.message = printfText("Map '%s' not written: a map file holds at most %d items.",
                                    path.c_str(), INT16_MAX);
        return result;
    }
    result.ok = cvx::profile::replaceProfileFile(path, binaryMapImage(map));
    if (!result.ok) {
        result.message = printfText("File Creation Failed: '%s'", path.c_str());
    }
    return result;
}

} // namespace corvex
