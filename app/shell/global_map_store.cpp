#include "shell/global_map_store.h"

#include "folders.h"
#include "mapping/binary_map_file.h"

#include <array>

namespace corvex {
namespace {

constexpr int32_t kStoredVersion = 5;

int32_t int32At(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return static_cast<int32_t>(value);
}

void putInt32(std::vector<uint8_t>& bytes, int32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
    }
}

std::string mapFilePath(int instance) {
    return engineSettingsFolder() + "_CVXSYSMAP" + std::to_string(instance) + ".vxm";
}

} // namespace

std::string loadStoredGlobalMap(const DataMapSettings& stored, DataMap& map) {
    if (!stored.mapParms || stored.mapParms->size() < kMapParmsBytes) {
        return {};
    }
    const std::vector<uint8_t>& parms = *stored.mapParms;
    const int32_t version = int32At(parms, 0);
    const int32_t count = int32At(parms, 16);
    std::string message;
    if ((version == 3 || version == 5) && count > 0 && stored.sysMapFile) {
        const MapFileResult result = readBinaryMap(map, *stored.sysMapFile, false, false);
        if (!result.ok) {
            message = result.message.empty() ? "Could not read the data map " + *stored.sysMapFile
                                             : result.message;
        }
    }
    map.isOn = static_cast<int16_t>(int32At(parms, 8) != 0);
    map.keys = static_cast<int16_t>(int32At(parms, 12) != 0);
    map.options = static_cast<uint16_t>(parms[20] | parms[21] << 8);
    return message;
}

bool storeGlobalMap(DataMap& map, int instance, DataMapSettings& stored) {
    const int32_t count = static_cast<int32_t>(map.items().size());
    if (count > 0) {
        const std::string path = mapFilePath(instance);
        if (!writeBinaryMap(map, path).ok) {
            return false;
        }
        stored.sysMapFile = path;
    }
    std::vector<uint8_t> parms;
    putInt32(parms, kStoredVersion);
    putInt32(parms, static_cast<int32_t>(sizeof(MapItem)));
    putInt32(parms, map.isOn != 0 ? 1 : 0);
    putInt32(parms, map.keys != 0 ? 1 : 0);
    putInt32(parms, count);
    parms.push_back(static_cast<uint8_t>(map.options & 0xFF));
    parms.push_back(static_cast<uint8_t>(map.options >> 8));
    stored.mapParms = std::move(parms);
    return true;
}

} // namespace corvex
