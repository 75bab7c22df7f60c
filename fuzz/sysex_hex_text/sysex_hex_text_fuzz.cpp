// Any text through the SysEx hex parsers: plain hex written from the bytes read gives the
// same bytes back, formatted hex too, and a failed conversion yields nothing.
#include "sysex/sysex_hex.h"

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
    std::vector<uint8_t> plain = parsePlainHex(text);
    check(plain.size() <= size / 2);
    if (!plain.empty()) {
        check(parsePlainHex(toPlainHex(plain)) == plain);
        std::string formatted = toFormattedHex(plain);
        check(formatted.size() % kFormattedHexLineLength == 0);
        check(parseFormattedHex(formatted) == plain);
    }
    std::vector<uint8_t> formatted = parseFormattedHex(text);
    // A hex field of 48 digits without spaces reads as 24 bytes.
    check(formatted.size() <= size / kFormattedHexLineLength * 24);
    return 0;
}
