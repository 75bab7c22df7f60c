// The filter test: whether a short message is filtered out by a CFilter.
#pragma once

#include "cvx_records.h"

#include <cstdint>

namespace cvx::mapping {

// `message` is EVENT::message (status in bits 0-7, data 1 in 8-15, data 2 in 16-23).
// A filter replaced while this runs gives a decision from the old or the new value of each
// field it reads; each field is read once.
bool isFiltered(uint32_t message, const CFilter& filter);

} // namespace cvx::mapping
