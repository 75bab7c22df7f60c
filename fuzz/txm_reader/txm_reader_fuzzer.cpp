// Any text as an ASCII map file: reading never fails unsafely, and a map that was read writes
// a text that reads back without problems to the same map.
#include "mapping/ascii_map_file.h"
#include "mapping/binary_map_file.h"

#include <cstdlib>
#include <string_view>

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

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corvex;
    std::string_view text(reinterpret_cast<const char*>(data), size);

    DataMap map;
    map.options = 0x0100;
    map.load(std::vector<MapRow>{{sysexItem(), {0xF0, 0xF7}}}, false);
    std::string before = binaryMapImage(map);
    MapFileResult result = readAsciiMapText(map, text, "fuzz.txm", true, false);
    if (!result.ok) {
        check(binaryMapImage(map) == before);
        return 0;
    }
    check(result.problemText().size() <= 1024);

    std::string written = asciiMapText(map);
    DataMap again;
    again.options = map.options;
    MapFileResult reread = readAsciiMapText(again, written, "again.txm", false, false);
    check(reread.ok && reread.problems.empty());
    check(asciiMapText(again) == written);
    return 0;
}
