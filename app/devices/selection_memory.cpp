#include "selection_memory.h"

#include <algorithm>

namespace corvex {

namespace {

constexpr int kGenerated = 135;

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// 0-based position of a name, -1 when missing.
int positionOf(const std::vector<std::string>& names, const std::string& name) {
    auto at = std::find(names.begin(), names.end(), name);
    return at == names.end() ? -1 : static_cast<int>(at - names.begin());
}

void connect(CPortMap& map, int index, uint32_t mask) {
    map.inputMasks[index] = mask;
    map.inputBits[index / 32] |= 1u << (index % 32);
}

// Names of `previous` that are neither present nor already in `merged`, appended.
void appendAbsent(std::vector<std::string>& merged, const std::vector<std::string>& previous,
                  const std::vector<std::string>& present) {
    for (const std::string& name : previous) {
        if (!contains(present, name) && !contains(merged, name)) {
            merged.push_back(name);
        }
    }
}

std::optional<CPortMap> previousMapOf(const StoredSelection& previous, const std::string& output) {
    const int at = positionOf(previous.outputs, output);
    if (at < 0 || static_cast<size_t>(at) >= previous.outputMaps.size()) {
        return std::nullopt;
    }
    return previous.outputMaps[at];
}

// The name of a stored 1-based input position, "" for "Corvex Events" (0).
bool inputNameOf(const StoredSelection& selection, int position, std::string& name) {
    if (position == 0) {
        name.clear();
        return true;
    }
    if (position < 1 || static_cast<size_t>(position) > selection.inputs.size()) {
        return false;
    }
    name = selection.inputs[position - 1];
    return true;
}

} // namespace

CPortMap reindexStoredMap(const CPortMap& map, const std::vector<std::string>& from,
                          const std::vector<std::string>& to) {
    CPortMap result{};
    for (size_t position = 0; position < from.size() && position < kGenerated; ++position) {
        const uint32_t mask = map.inputMasks[position];
        const int target = positionOf(to, from[position]);
        if (mask != 0 && target >= 0 && target < kGenerated) {
            connect(result, target, mask);
        }
    }
    result.inputMasks[kGenerated] = map.inputMasks[kGenerated];
    result.inputBits[kGenerated / 32] |= map.inputBits[kGenerated / 32] & (1u << (kGenerated % 32));
    return result;
}

StoredSelection mergeSelections(const StoredSelection& current, const StoredSelection& previous,
                                const std::vector<std::string>& presentInputs,
                                const std::vector<std::string>& presentOutputs) {
    StoredSelection merged = current;
    appendAbsent(merged.inputs, previous.inputs, presentInputs);
    appendAbsent(merged.outputs, previous.outputs, presentOutputs);
    merged.outputMaps.resize(merged.outputs.size());

    for (size_t out = 0; out < merged.outputs.size(); ++out) {
        const std::optional<CPortMap> before = previousMapOf(previous, merged.outputs[out]);
        if (out >= current.outputs.size()) {
            // An absent output: its whole stored map, in the merged numbering.
            if (before) {
                merged.outputMaps[out] = reindexStoredMap(*before, previous.inputs, merged.inputs);
            }
            continue;
        }
        if (!before || !merged.outputMaps[out]) {
            continue;
        }
        // A present output keeps its current routing and gets back that of absent inputs.
        const CPortMap absentRoutes = reindexStoredMap(*before, previous.inputs, merged.inputs);
        for (size_t in = current.inputs.size(); in < merged.inputs.size(); ++in) {
            if (absentRoutes.inputMasks[in] != 0) {
                connect(*merged.outputMaps[out], static_cast<int>(in), absentRoutes.inputMasks[in]);
            }
        }
    }

    for (const StoredRouteMap& route : previous.routeMaps) {
        std::string input;
        if (route.outputPosition < 1 ||
            static_cast<size_t>(route.outputPosition) > previous.outputs.size() ||
            !inputNameOf(previous, route.inputPosition, input)) {
            continue;
        }
        const std::string& output = previous.outputs[route.outputPosition - 1];
        const bool absent = !contains(presentOutputs, output) ||
                            (!input.empty() && !contains(presentInputs, input));
        const int outputAt = positionOf(merged.outputs, output);
        const int inputAt = input.empty() ? -1 : positionOf(merged.inputs, input);
        if (!absent || outputAt < 0 || (!input.empty() && inputAt < 0)) {
            continue;
        }
        merged.routeMaps.push_back(StoredRouteMap{outputAt + 1, inputAt + 1, route.path});
    }
    return merged;
}

} // namespace corvex
