// What the connection properties of one (input, output) pair show and what OK does: the
// route mask (channels, SysEx, real-time, common) and the pair's data map, chosen from
// "<None>" and the ".vxm" files of the map folder. A map that lives elsewhere (or is no
// longer in the folder) is offered by its full path and chosen, so confirming the dialog
// keeps it instead of dropping it.
//
// User-interface thread only (plain values).
#pragma once

#include "routing/routing_operations.h"

#include <string>
#include <vector>

namespace corvex {

inline constexpr const char* kNoMapChoice = "<None>";

struct ConnectionProperties {
    int input = 0;
    int output = 0;
    std::string title; // "[input]---[output]"
    uint32_t mask = 0;
    std::vector<std::string> mapChoices; // as listed: "<None>", file names, foreign paths
    std::vector<std::string> mapPaths;   // per choice: "" for "<None>", else the full path
    int chosenMap = 0;
};

// `folderFiles`: the names of the files in `mapFolder` (any extension; only ".vxm" files,
// in any case, are offered).
ConnectionProperties connectionPropertiesOf(const RoutingState& state, int input, int output,
                                            const std::string& inputLabel,
                                            const std::string& outputLabel,
                                            const std::string& mapFolder,
                                            const std::vector<std::string>& folderFiles);

// OK: the mask and the chosen map through the routing operations.
RoutingChange applyConnectionProperties(RoutingState& state,
                                        const ConnectionProperties& properties);

} // namespace corvex
