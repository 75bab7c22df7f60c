// Any bytes as a binary map file: reading never fails unsafely, a map that was read writes
// a file that reads back to the same bytes, and a refused file leaves the map untouched.
#include "mapping/ascii_map_file.h"
#include "mapping/binary_map_file.h"

#include <cstdlib>

namespace {

// An item as the editor makes them: any Note On becomes a SysEx string.
MapItem sysexItem() {
    MapItem item{};
    item.sourceChannel = item.targetChannel = 0xFF;
    item.sourceMessage = MAP_NOTE_ON;
    item.targetMessage = MAP_SYSEX;
    item.sourceV1Min = item.sourceV1Max = item.sourceV2Min = item.sourceV2Max = 0xFFFF;
    item.targetV1Min = item.targetV1Max = item.targetV2Min = item.targetV2Max = 0xFFFF;
    return item;
}

std::span<const uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corvex;
    std::span<const uint8_t> file(data, size);

    DataMap map;
    map.load(std::vector<MapRow>{{sysexItem(), {0xF0, 0xF7}}}, false);
    std::string before = binaryMapImage(map);
    MapFileResult appended = readBinaryMapImage(map, file, "fuzz.vxm", true, false);
    if (!appended.ok) {
        check(binaryMapImage(map) == before);
    }

    DataMap fresh;
    if (!readBinaryMapImage(fresh, file, "fuzz.vxm", false, true).ok) {
        return 0;
    }
    std::string written = binaryMapImage(fresh);
    DataMap again;
    check(readBinaryMapImage(again, bytesOf(written), "again.vxm", false, false).ok);
    check(binaryMapImage(again) == written);

    DataMap fromText;
    readAsciiMapText(fromText, asciiMapText(fresh), "fuzz.txm", false, false);
    return 0;
}
