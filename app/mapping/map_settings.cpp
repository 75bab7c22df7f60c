#include "mapping/map_settings.h"

#include "mapping/binary_map_file.h"
#include "mapping/printf_text.h"
#include "settings/folders.h"

#include <cstring>

namespace corvex {

namespace {

constexpr int32_t kParmsVersion = 5;

struct MapParms {
    int32_t version = 0;
    int32_t itemSize = 0;
    int32_t isOn = 0;
    int32_t keys = 0;
    int32_t count = 0;
    uint16_t options = 0;
};

void putI32(std::vector<uint8_t>& out, int32_t value) {
    auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(bits >> shift));
    }
}

int32_t i32At(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t bits = 0;
    for (size_t i = 0; i < 4; ++i) {
        bits |= uint32_t{bytes[offset + i]} << (8 * i);
    }
    return static_cast<int32_t>(bits);
}

MapParms parse(const std::vector<uint8_t>& bytes) {
    MapParms parms;
    parms.version = i32At(bytes, 0);
    parms.itemSize = i32At(bytes, 4);
    parms.isOn = i32At(bytes, 8);
    parms.keys = i32At(bytes, 12);
    parms.count = i32At(bytes, 16);
    parms.options = static_cast<uint16_t>(bytes[20] | bytes[21] << 8);
    return parms;
}

} // namespace

std::string privateMapPath(int profileNumber) {
    std::string folder = engineSettingsFolder();
    return folder.empty() ? folder : folder + printfText("_CVXSYSMAP%d.vxm", profileNumber);
}

std::vector<uint8_t> mapParms(const DataMap& map) {
    std::vector<uint8_t> bytes;
    bytes.reserve(kMapParmsSize);
    putI32(bytes, kParmsVersion);
    putI32(bytes, static_cast<int32_t>(sizeof(MapItem)));
    putI32(bytes, map.isOn);
    putI32(bytes, map.keys);
    putI32(bytes, static_cast<int32_t>(map.items().size()));
    bytes.push_back(static_cast<uint8_t>(map.options & 0xFF));
    bytes.push_back(static_cast<uint8_t>(map.options >> 8));
    return bytes;
}

MapFileResult readMapSettings(DataMap& map, const DataMapSettings& stored) {
    MapFileResult result;
    if (!stored.mapParms || stored.mapParms->size() != kMapParmsSize) {
        return result;
    }
    MapParms parms = parse(*stored.mapParms);
    if (parms.version != 3 && parms.version != 5) {
        return result;
    }
    if (parms.count > 0) {
        result = readBinaryMap(map, stored.sysMapFile.value_or(""), false, false);
    } else {
        map.clearItems();
        result.ok = true;
    }
    map.isOn = static_cast<int16_t>(parms.isOn);
    map.keys = static_cast<int16_t>(parms.keys);
    map.options = parms.options;
    return result;
}

MapFileResult writeMapSettings(const DataMap& map, DataMapSettings& stored, int profileNumber) {
    std::string path = privateMapPath(profileNumber);
    if (path.empty()) {
        MapFileResult result;
        result.message = "File Creation Failed: '_CVXSYSMAP.vxm' (no engine settings folder)";
        return result;
    }
    MapFileResult result = writeBinaryMap(map, path);
    stored.mapParms = mapParms(map);
    stored.sysMapFile = path;
    return result;
}

MapFileResult readMapSettings(DataMap& map, SettingsStore& store, std::string_view dataMapKey) {
    DataMapSettings stored;
    stored.mapParms = store.readBinary(dataMapKey, kMapParmsValue, kMapParmsSize);
    stored.sysMapFile = store.readString(dataMapKey, kSysMapFileValue);
    return readMapSettings(map, stored);
}

MapFileResult writeMapSettings(const DataMap& map, SettingsStore& store,
                               std::string_view dataMapKey, int profileNumber) {
    DataMapSettings stored;
    MapFileResult result = writeMapSettings(map, stored, profileNumber);
    bool kept = store.update([&](SettingsTree& tree) {
        return tree.setBinary(dataMapKey, kMapParmsValue, stored.mapParms->data(),
                              stored.mapParms->size()) &&
               tree.setString(dataMapKey, kSysMapFileValue, *stored.sysMapFile);
    });
    if (!kept && result.message.empty()) {
        result.ok = false;
        result.message =
            printfText("The data map could not be stored in '%s'.", store.path().c_str());
    }
    return result;
}

} // namespace corvex
