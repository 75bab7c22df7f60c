// What the routing view shows: the input rows (the shown inputs and then "Corvex Events",
// labelled "Corvex Event Port"), the output rows and one entry per connected pair, sorted by
// output and then input device index. Rebuilt from a RoutingState whenever the port lists
// or maps change.
//
// User-interface thread only (plain values).
#pragma once

#include "routing/routing_operations.h"

#include <string>
#include <vector>

namespace corvex {

inline constexpr const char* kEventPortLabel = "Corvex Event Port";

struct RoutingViewRow {
    int device = 0;
    std::string label;
    bool operator==(const RoutingViewRow&) const = default;
};

// The handle image of a connection, by what passes and whether a data map is set.
enum class HandleImage {
    AllPass = 0,       // all sixteen channels, SysEx, real-time and common
    AllPassMapped = 1, // ... and a data map
    Filtered = 2,      // something is filtered
    FilteredMapped = 3 // ... and a data map
};

struct RoutingViewConnection {
    int input = 0; // device indices
    int output = 0;
    int inputRow = 0;
    int outputRow = 0;
    HandleImage image = HandleImage::AllPass;
    bool operator==(const RoutingViewConnection&) const = default;
};

struct RoutingViewContent {
    std::vector<RoutingViewRow> inputs;
    std::vector<RoutingViewRow> outputs;
    std::vector<RoutingViewConnection> connections;
};

HandleImage handleImageOf(uint32_t mask, bool mapped);

// The rows and connections of `state`; the labels come from the names by device index (a
// missing name shows as an empty label).
RoutingViewContent routingViewContent(const RoutingState& state,
                                      const std::vector<std::string>& inputNames,
                                      const std::vector<std::string>& outputNames);

} // namespace corvex
