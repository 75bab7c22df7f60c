// The unit in which SysEx bytes or text travel between a pane, a file and the ports: the
// content with the kind of its source and the text kind it is or will be shown as.
// A plain value: any thread.
#pragma once

#include "sysex/sysex_kind.h"

#include <cstdint>
#include <vector>

namespace corvex {

struct SysExByteBlock {
    std::vector<uint8_t> data;
    SysExKind sourceKind = SysExKind::Unknown; // BinaryFile .. TextBuffer
    SysExKind textKind = SysExKind::Unknown;   // Text, FormattedHex or PlainHex
};

} // namespace corvex
