#include "routing/routing_view_content.h"

#include <algorithm>

namespace corvex {
namespace {

std::string nameAt(const std::vector<std::string>& names, int device) {
    return device >= 0 && device < static_cast<int>(names.size()) ? names[device] : std::string();
}

} // namespace

HandleImage handleImageOf(uint32_t mask, bool mapped) {
    const bool allPass = (mask & kConnectRouteMask) == kConnectRouteMask;
    if (allPass) {
        return mapped ? HandleImage::AllPassMapped : HandleImage::AllPass;
    }
    return mapped ? HandleImage::FilteredMapped : HandleImage::Filtered;
}

RoutingViewContent routingViewContent(const RoutingState& state,
                                      const std::vector<std::string>& inputNames,
                                      const std::vector<std::string>& outputNames) {
    RoutingViewContent content;
    for (int input : state.inputs) {
        content.inputs.push_back({input, nameAt(inputNames, input)});
    }
    content.inputs.push_back({kEventsInput, kEventPortLabel});
    for (int output : state.outputs) {
        content.outputs.push_back({output, nameAt(outputNames, output)});
    }
    for (int outputRow = 0; outputRow < static_cast<int>(content.outputs.size()); ++outputRow) {
        const int output = content.outputs[outputRow].device;
        for (int inputRow = 0; inputRow < static_cast<int>(content.inputs.size()); ++inputRow) {
            const int input = content.inputs[inputRow].device;
            if (state.connected(input, output)) {
                const bool mapped = state.portDataMap.find(output, input).has_value();
                content.connections.push_back({input, output, inputRow, outputRow,
                                               handleImageOf(state.mask(input, output), mapped)});
            }
        }
    }
    std::sort(content.connections.begin(), content.connections.end(),
              [](const RoutingViewConnection& a, const RoutingViewConnection& b) {
                  return a.output != b.output ? a.output < b.output : a.input < b.input;
              });
    return content;
}

} // namespace corvex
