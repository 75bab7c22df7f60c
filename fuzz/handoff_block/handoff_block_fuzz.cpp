// Feeds arbitrary bytes to the hand-off block reader; whatever it accepts must encode back
// to a block that reads the same.
#include "shell/handoff_block.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<corvex::HandOff> handOff = corvex::decodeHandOff({data, size});
    if (!handOff) {
        return 0;
    }
    const std::optional<corvex::HandOffBytes> bytes = corvex::encodeHandOff(*handOff);
    if (!bytes || corvex::decodeHandOff(*bytes) != handOff) {
        std::abort();
    }
    return 0;
}
