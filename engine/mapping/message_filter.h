// The filter test: whether a short message is filtered out by a CFilter.
#pragma once

#include "cvx_records.h"

#include <cstdint>

namespace cvx::mapping {

// `message` is EVENT::message (status in bits 0-7, data 1 in 8-15, data 2 in 16-23). Channel
// bits apply to channel messages (0x80-0xEF) only; a data byte in the status position and the
// statuses without a system-mask bit are never filtered.
bool isFiltered(uint32_t message, const CFilter& filter);

} // namespace cvx::mapping
