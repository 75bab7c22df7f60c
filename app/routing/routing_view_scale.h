// The routing view's scale: every length of the view is given in 1/96 inch and multiplied
// by s = DPI / 96 × zoom, each product rounded to the nearest pixel. The zoom is kept as an
// integer percentage within kMinRouteZoom..kMaxRouteZoom (the "RouteZoom" setting) and moves
// in steps of ten, so repeated steps never drift.
//
// User-interface thread only (plain values).
#pragma once

#include <optional>

namespace corvex {

inline constexpr int kRouteZoomStep = 10;
inline constexpr int kDefaultRouteZoom = 100;

// The window's own DPI where known, else the screen's horizontal logical DPI, else 96.
double routingViewDpi(std::optional<double> windowDpi, std::optional<double> screenDpi);

class RoutingViewScale {
public:
    RoutingViewScale(double dpi, int zoomPercent);

    double s() const { return dpi_ / 96.0 * zoomPercent_ / 100.0; }
    // `length` (in 1/96 inch) as pixels at this scale.
    int px(double length) const;
    int zoomPercent() const { return zoomPercent_; }

    // Each returns whether the zoom changed.
    bool zoomIn();
    bool zoomOut();
    bool resetZoom();

private:
    bool setZoom(int percent);

    double dpi_;
    int zoomPercent_;
};

} // namespace corvex
