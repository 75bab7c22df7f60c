// What selecting and deselecting ports does to an editor's working copies: a selected input
// is connected to every shown output (automatic attaching on) or disconnected from them
// (bit and mask cleared, so no stale mask stays behind); a deselected input leaves every
// output; a selected output gets every shown input and "Corvex Events" when the user chose
// it; a deselected output keeps its copy for when it comes back.
//
// User-interface thread only.
#pragma once

#include "routing/routing_operations.h"

#include <vector>

namespace corvex {

// Device indices added to and removed from a selection, each in the order of its list.
// Computed as set differences, so that a range selection or "select all" that changes many
// items at once is handled whole.
struct SelectionDifference {
    std::vector<int> added;
    std::vector<int> removed;

    bool operator==(const SelectionDifference&) const = default;
};
SelectionDifference selectionDifference(const std::vector<int>& before,
                                        const std::vector<int>& after);

enum class SelectedBy { User, Program };

// Applies a changed input selection (`after` in list order) to `state`.
RoutingChange selectInputs(RoutingState& state, const std::vector<int>& after, bool autoAttach);
// Applies a changed output selection. A selection the program makes (restoring, loading a
// preset) keeps the outputs' maps as they are.
RoutingChange selectOutputs(RoutingState& state, const std::vector<int>& after, bool autoAttach,
                            SelectedBy by);

} // namespace corvex
