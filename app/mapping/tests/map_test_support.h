// Shared helpers of the map tests: building items and maps, and files in the test's home.
#pragma once

#include "mapping/data_map.h"
#include "support/isolated_home.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace corvex::test {

inline constexpr uint16_t kAny = 0xFFFF;
using Bounds = std::array<uint16_t, 4>;
inline constexpr Bounds kAnyBounds = {kAny, kAny, kAny, kAny};

inline MapItem makeItem(uint8_t sourceChannel, uint8_t sourceMessage, Bounds source,
                        uint8_t targetChannel, uint8_t targetMessage, Bounds target,
                        uint16_t flags = 0) {
    MapItem item{};
    item.sourceChannel = sourceChannel;
    item.sourceMessage = sourceMessage;
    item.sourceV1Min = source[0];
    item.sourceV1Max = source[1];
    item.sourceV2Min = source[2];
    item.sourceV2Max = source[3];
    item.targetChannel = targetChannel;
    item.targetMessage = targetMessage;
    item.targetV1Min = target[0];
    item.targetV1Max = target[1];
    item.targetV2Min = target[2];
    item.targetV2Max = target[3];
    item.itemFlags = flags;
    return item;
}

inline MapRow discardRow(uint8_t sourceMessage) {
    return {makeItem(0xFF, sourceMessage, kAnyBounds, 0xFF, MAP_DISCARD, kAnyBounds), {}};
}

inline MapRow sysexRow(uint8_t sourceMessage, std::vector<uint8_t> bytes) {
    return {makeItem(0xFF, sourceMessage, kAnyBounds, 0xFF, MAP_SYSEX, kAnyBounds),
            std::move(bytes)};
}

inline DataMap mapOf(const std::vector<MapRow>& rows, uint16_t options = 0) {
    DataMap map;
    map.load(rows, false);
    map.options = options;
    return map;
}

inline std::string homePath(const std::string& name) {
    return cvx::testing::isolatedHome() + "/" + name;
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace corvex::test
