#include "routing/routing_view_scale.h"

#include "settings/settings_profile.h"

#include <algorithm>
#include <cmath>

namespace corvex {

double routingViewDpi(std::optional<double> windowDpi, std::optional<double> screenDpi) {
    for (const auto& dpi : {windowDpi, screenDpi}) {
        if (dpi && *dpi > 0) {
            return *dpi;
        }
    }
    return 96.0;
}

RoutingViewScale::RoutingViewScale(double dpi, int zoomPercent)
    : dpi_(dpi > 0 ? dpi : 96.0),
      zoomPercent_(std::clamp(zoomPercent, kMinRouteZoom, kMaxRouteZoom)) {}

int RoutingViewScale::px(double length) const {
    return static_cast<int>(std::lround(length * s()));
}

bool RoutingViewScale::zoomIn() {
    return setZoom(zoomPercent_ + kRouteZoomStep);
}

bool RoutingViewScale::zoomOut() {
    return setZoom(zoomPercent_ - kRouteZoomStep);
}

bool RoutingViewScale::resetZoom() {
    return setZoom(kDefaultRouteZoom);
}

bool RoutingViewScale::setZoom(int percent) {
    const int clamped = std::clamp(percent, kMinRouteZoom, kMaxRouteZoom);
    const bool changed = clamped != zoomPercent_;
    zoomPercent_ = clamped;
    return changed;
}

} // namespace corvex
