// Feeds arbitrary bytes to the status snapshot reader: it must refuse or accept them without
// reading past the end, and an accepted file must survive a write and a second read.
#include "views/snapshot_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto result = corvex::decodeSnapshot({data, size});
    if (const auto* values = std::get_if<corvex::StatusValues>(&result)) {
        const auto again = corvex::decodeSnapshot(corvex::encodeSnapshot(*values));
        if (std::get<corvex::StatusValues>(again) != *values) {
            std::abort();
        }
    }
    return 0;
}
