// Any text as hex SysEx data: reading stays within the text and the limit, and the bytes
// read write as hex text that reads back to the same bytes.
#include "mapping/hex_text.h"

#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corvex;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    constexpr size_t kLimit = 1022;

    HexTextReading reading = parseHexText(text, kLimit);
    check(reading.bytes.size() <= kLimit);
    check(reading.stop <= text.size());
    check((reading.end == HexTextReading::End::Complete) == (reading.stop == text.size()));

    std::string written = formatHexText(reading.bytes);
    HexTextReading again = parseHexText(written, kLimit);
    check(again.end == HexTextReading::End::Complete && again.bytes == reading.bytes);
    return 0;
}
