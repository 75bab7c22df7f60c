#include "routing/routing_view_drag.h"

namespace corvex {
namespace {

using Action = RoutingDragOutcome::Action;

bool validIndex(int index, std::size_t size) {
    return index >= 0 && index < static_cast<int>(size);
}

} // namespace

bool RoutingViewDrag::begin(const RoutingHit& hit) {
    const bool draggable = hit.kind == RoutingHitKind::Input ||
                           hit.kind == RoutingHitKind::Output || hit.kind == RoutingHitKind::Handle;
    start_ = draggable ? hit : RoutingHit{};
    return draggable;
}

bool RoutingViewDrag::drawsCurve() const {
    return start_.kind == RoutingHitKind::Input || start_.kind == RoutingHitKind::Output;
}

RoutingDragOutcome RoutingViewDrag::finish(const RoutingHit& drop, bool insideWindow,
                                           const RoutingViewContent& content) {
    const RoutingHit start = start_;
    start_ = {};
    if (!insideWindow) {
        return {};
    }
    const auto& inputs = content.inputs;
    const auto& outputs = content.outputs;
    const auto& connections = content.connections;
    if (start.kind == RoutingHitKind::Input && drop.kind == RoutingHitKind::Output &&
        validIndex(start.index, inputs.size()) && validIndex(drop.index, outputs.size())) {
        return {Action::Connect, inputs[start.index].device, outputs[drop.index].device};
    }
    if (start.kind == RoutingHitKind::Output && drop.kind == RoutingHitKind::Input &&
        validIndex(start.index, outputs.size()) && validIndex(drop.index, inputs.size())) {
        return {Action::Connect, inputs[drop.index].device, outputs[start.index].device};
    }
    if (start.kind != RoutingHitKind::Handle || !validIndex(start.index, connections.size())) {
        return {};
    }
    if (drop.kind == RoutingHitKind::Handle && validIndex(drop.index, connections.size())) {
        const auto& target = connections[drop.index];
        return {Action::Properties, target.input, target.output};
    }
    const auto& dragged = connections[start.index];
    return {Action::Disconnect, dragged.input, dragged.output};
}

RoutingChange applyDragOutcome(RoutingState& state, const RoutingDragOutcome& outcome) {
    switch (outcome.action) {
    case Action::Connect:
        return connect(state, outcome.input, outcome.output);
    case Action::Disconnect:
        return disconnect(state, outcome.input, outcome.output);
    case Action::Properties:
    case Action::None:
        break;
    }
    return {};
}

} // namespace corvex
