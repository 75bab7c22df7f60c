#include "shell/program_routing.h"

#include "devices/midi.h"
#include "routing/device_routing.h"
#include "shell/program_services.h"
#include "views/scheme_colours.h"

namespace corvex {

QWidget* ProgramRouting::createView(QWidget* parent) {
    view_ = new RoutingView(*this, look(), parent);
    return view_;
}

void ProgramRouting::refreshView() {
    if (view_ != nullptr) {
        view_->refresh();
    }
}

void ProgramRouting::restyleView() {
    if (view_ != nullptr) {
        view_->setLook(look());
    }
}

RoutingViewLook ProgramRouting::look() const {
    const ColourScheme& colours = record_.display.colours;
    RoutingViewLook look;
    look.background = toQColor(colours[kRoutingBackground]);
    look.text = toQColor(colours[kRoutingText]);
    for (int i = 0; i < 16; ++i) {
        look.routes[i] = toQColor(colours[kFirstRoutePortColour + i]);
    }
    look.zoomPercent = record_.instanceOptions.routeZoom;
    return look;
}

RoutingState ProgramRouting::routing() const {
    return routingStateOf(midi_.roster(), midi_.selection());
}

std::vector<std::string> ProgramRouting::portNames(bool inputs) const {
    return portNamesByIndex(midi_.roster(), inputs);
}

void ProgramRouting::applyRouting(const RoutingState& state, const RoutingChange& change) {
    applyRoutingChange(state, change, *this);
}

void ProgramRouting::zoomChanged(int percent) {
    record_.instanceOptions.routeZoom = percent;
}

std::string ProgramRouting::mapFolder() const {
    return record_.options.mapFolder;
}

void ProgramRouting::updatePortMap(int output, const CPortMap& map) {
    CPortMap copy = map;
    midi_.engine().updatePortMap(output, copy);
}

void ProgramRouting::storeAndResendPortDataMaps(const CPortDataMap& maps) {
    midi_.selection().portDataMap() = maps;
    midi_.opener().sendPortDataMaps();
}

void ProgramRouting::copyToSettings(const RoutingState& state) {
    applyRoutingState(state, midi_.roster(), midi_.selection());
    storeSelection(midi_.saveSelections(), record_);
}

void ProgramRouting::redrawViews() {
    refreshView();
}

} // namespace corvex
