// The data map as lines of text for the monitor: a title, a column header, one line per
// item and the option and switch states. Pure function: any thread.
#pragma once

#include "mapping/data_map.h"

#include <string>
#include <vector>

namespace corvex {

// No lines for a map without items.
std::vector<std::string> mapListing(const DataMap& map);

} // namespace corvex
