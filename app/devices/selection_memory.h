// The stored selection across device changes: a device that is absent keeps its place in the
// stored selection, with its routing and data maps, so that it gets them back when it
// returns under its name.
//
// Any thread (no state).
#pragma once

#include "device_settings.h"

#include <string>
#include <vector>

namespace corvex {

// The selection of the present devices (`current`), followed by what `previous` held for
// devices that are not present: their names, the routing between them and the present
// ports, and their data maps. Positions of `current` stay as they are.
StoredSelection mergeSelections(const StoredSelection& current, const StoredSelection& previous,
                                const std::vector<std::string>& presentInputs,
                                const std::vector<std::string>& presentOutputs);

// A stored map re-indexed from one list of input names to another (inputs not in `to` are
// dropped; bit and mask 135 stay). An input counts as connected when its mask is not 0.
CPortMap reindexStoredMap(const CPortMap& map, const std::vector<std::string>& from,
                          const std::vector<std::string>& to);

} // namespace corvex
