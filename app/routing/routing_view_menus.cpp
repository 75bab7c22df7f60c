#include "routing/routing_view_menus.h"

namespace corvex {
namespace {

using Command = RoutingMenuCommand;

bool validIndex(int index, std::size_t size) {
    return index >= 0 && index < static_cast<int>(size);
}

const RoutingViewConnection* connectionOf(const RoutingHit& hit,
                                          const RoutingViewContent& content) {
    const bool onConnection =
        hit.kind == RoutingHitKind::Handle || hit.kind == RoutingHitKind::Curve;
    return onConnection && validIndex(hit.index, content.connections.size())
               ? &content.connections[hit.index]
               : nullptr;
}

std::string labelOf(const std::vector<RoutingViewRow>& rows, int row) {
    return validIndex(row, rows.size()) ? rows[row].label : std::string();
}

} // namespace

std::vector<RoutingMenuEntry> routingContextMenu(const RoutingHit& hit,
                                                 const RoutingViewContent& content) {
    if (hit.kind == RoutingHitKind::Input && validIndex(hit.index, content.inputs.size())) {
        return {{"&Connect All", Command::ConnectAll},
                {"Connect Input &Port", Command::ConnectInputPort},
                {"Disconnect &All", Command::DisconnectAll},
                {"&Disconnect Input Port", Command::DisconnectInputPort}};
    }
    if (hit.kind == RoutingHitKind::Output && validIndex(hit.index, content.outputs.size())) {
        return {{"&Connect All", Command::ConnectAll},
                {"Connect Output &Port", Command::ConnectOutputPort},
                {"Disconnect &All", Command::DisconnectAll},
                {"&Disconnect Output Port", Command::DisconnectOutputPort}};
    }
    if (const auto* connection = connectionOf(hit, content)) {
        const std::string text = "Disconnect: " + labelOf(content.inputs, connection->inputRow) +
                                 " >>> " + labelOf(content.outputs, connection->outputRow);
        return {{"&Connect All", Command::ConnectAll},
                {"Disconnect &All", Command::DisconnectAll},
                {text, Command::Disconnect},
                {"Properties...", Command::Properties}};
    }
    return {{"&Connect All", Command::ConnectAll}, {"&Disconnect All", Command::DisconnectAll}};
}

RoutingChange runRoutingMenuCommand(RoutingState& state, RoutingMenuCommand command,
                                    const RoutingHit& hit, const RoutingViewContent& content) {
    const bool onInput =
        hit.kind == RoutingHitKind::Input && validIndex(hit.index, content.inputs.size());
    const bool onOutput =
        hit.kind == RoutingHitKind::Output && validIndex(hit.index, content.outputs.size());
    const auto* connection = connectionOf(hit, content);
    switch (command) {
    case Command::ConnectAll:
        return connectAll(state);
    case Command::DisconnectAll:
        return disconnectAll(state);
    case Command::ConnectInputPort:
        return onInput ? connectInputPort(state, content.inputs[hit.index].device)
                       : RoutingChange{};
    case Command::DisconnectInputPort:
        return onInput ? disconnectInputPort(state, content.inputs[hit.index].device)
                       : RoutingChange{};
    case Command::ConnectOutputPort:
        return onOutput ? connectOutputPort(state, content.outputs[hit.index].device)
                        : RoutingChange{};
    case Command::DisconnectOutputPort:
        return onOutput ? disconnectOutputPort(state, content.outputs[hit.index].device)
                        : RoutingChange{};
    case Command::Disconnect:
        return connection ? disconnect(state, connection->input, connection->output)
                          : RoutingChange{};
    case Command::Properties:
        break;
    }
    return {};
}

} // namespace corvex
