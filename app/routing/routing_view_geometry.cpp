#include "routing/routing_view_geometry.h"

#include <algorithm>
#include <cmath>

namespace corvex {
namespace {

constexpr double kHandleT = 0.45;
constexpr int kCurvePieces = 16;

// Whether the segment a-b crosses the box [min, max] (Liang-Barsky clipping).
bool segmentCrossesBox(ViewPoint a, ViewPoint b, ViewPoint min, ViewPoint max) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double d[2] = {b.x - a.x, b.y - a.y};
    const double start[2] = {a.x, a.y};
    const double low[2] = {min.x, min.y};
    const double high[2] = {max.x, max.y};
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0) {
            if (start[axis] < low[axis] || start[axis] > high[axis]) {
                return false;
            }
            continue;
        }
        double enter = (low[axis] - start[axis]) / d[axis];
        double leave = (high[axis] - start[axis]) / d[axis];
        if (enter > leave) {
            std::swap(enter, leave);
        }
        t0 = std::max(t0, enter);
        t1 = std::min(t1, leave);
        if (t0 > t1) {
            return false;
        }
    }
    return true;
}

} // namespace

ViewPoint ViewCurve::at(double t) const {
    const double u = 1.0 - t;
    const double w[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
    ViewPoint point;
    for (int i = 0; i < 4; ++i) {
        point.x += w[i] * p[i].x;
        point.y += w[i] * p[i].y;
    }
    return point;
}

RoutingViewGeometry::RoutingViewGeometry(const RoutingViewScale& scale,
                                         const RoutingViewExtent& extent)
    : scale_(scale), extent_(extent) {}

int RoutingViewGeometry::rowPitch() const {
    return scale_.px(32) + scale_.px(26);
}

int RoutingViewGeometry::contentHeight() const {
    const int n = std::max(extent_.inputRows, extent_.outputRows);
    return scale_.px(39) + std::max(n - 1, 0) * scale_.px(26) + scale_.px(12) + n * scale_.px(32);
}

int RoutingViewGeometry::scrollRange() const {
    return std::max(contentHeight() - extent_.clientHeight, 0);
}

void RoutingViewGeometry::setScroll(int position) {
    scroll_ = std::clamp(position, 0, scrollRange());
}

void RoutingViewGeometry::scrollBy(ScrollStep step) {
    switch (step) {
    case ScrollStep::PageUp:
        return setScroll(scroll_ - extent_.clientHeight);
    case ScrollStep::PageDown:
        return setScroll(scroll_ + extent_.clientHeight);
    case ScrollStep::Home:
        return setScroll(0);
    case ScrollStep::End:
        return setScroll(scrollRange());
    case ScrollStep::LineUp:
        return setScroll(scroll_ - rowPitch());
    case ScrollStep::LineDown:
        return setScroll(scroll_ + rowPitch());
    }
}

void RoutingViewGeometry::scrollByWheel(int delta) {
    setScroll(scroll_ - static_cast<int>(std::lround(double(delta) * rowPitch() / 120.0)));
}

ViewPoint RoutingViewGeometry::anchor(double x, int row) const {
    return {x, double(scale_.px(39) + row * rowPitch() + scale_.px(16) - scroll_)};
}

ViewPoint RoutingViewGeometry::inputAnchor(int row) const {
    return anchor(extent_.inputTextWidth + scale_.px(8) + scale_.px(16) + scale_.px(16), row);
}

ViewPoint RoutingViewGeometry::outputAnchor(int row) const {
    return anchor(extent_.clientWidth - extent_.outputTextWidth - 3 * scale_.px(16), row);
}

ViewPoint RoutingViewGeometry::inputHeader() const {
    return {double(scale_.px(16)), double(scale_.px(13) - scroll_)};
}

ViewPoint RoutingViewGeometry::outputHeader() const {
    return {double(outputLabelX()), double(scale_.px(13) - scroll_)};
}

int RoutingViewGeometry::inputLabelX() const {
    return scale_.px(16);
}

int RoutingViewGeometry::outputLabelX() const {
    return extent_.clientWidth - extent_.outputTextWidth - scale_.px(24);
}

ViewRect RoutingViewGeometry::iconRect(ViewPoint anchor) const {
    const int side = scale_.px(32);
    return {int(std::lround(anchor.x)) - side / 2, int(std::lround(anchor.y)) - side / 2, side,
            side};
}

ViewCurve RoutingViewGeometry::curveBetween(ViewPoint from, ViewPoint to) const {
    const double dx = std::abs(to.x - from.x);
    const double r = std::max(dx / 2, double(scale_.px(50)));
    const double u = std::min(double(scale_.px(35)), std::max(dx / 18, double(scale_.px(12))));
    return {{from, {from.x + r, from.y + u}, {to.x - r, to.y + u}, to}};
}

ViewCurve RoutingViewGeometry::curve(int inputRow, int outputRow) const {
    return curveBetween(inputAnchor(inputRow), outputAnchor(outputRow));
}

ViewPoint RoutingViewGeometry::handleCentre(const RoutingViewConnection& connection) const {
    return curve(connection.inputRow, connection.outputRow).at(kHandleT);
}

ViewRect RoutingViewGeometry::handleRect(const RoutingViewConnection& connection) const {
    const ViewPoint centre = handleCentre(connection);
    const int side = scale_.px(10);
    return {int(std::lround(centre.x)) - side / 2, int(std::lround(centre.y)) - side / 2, side,
            side};
}

int RoutingViewGeometry::penWidth() const {
    return std::max(scale_.px(3), 2);
}

bool RoutingViewGeometry::curveHit(const ViewCurve& curve, ViewPoint point) const {
    const double m = std::max(scale_.px(5), 4);
    const ViewPoint min{point.x - m, point.y - m};
    const ViewPoint max{point.x + m, point.y + m};
    ViewPoint previous = curve.at(0);
    for (int piece = 1; piece <= kCurvePieces; ++piece) {
        const ViewPoint next = curve.at(double(piece) / kCurvePieces);
        if (segmentCrossesBox(previous, next, min, max)) {
            return true;
        }
        previous = next;
    }
    return false;
}

RoutingHit RoutingViewGeometry::hitTest(ViewPoint point,
                                        const std::vector<RoutingViewConnection>& connections,
                                        bool withCurves) const {
    for (int row = 0; row < extent_.inputRows; ++row) {
        if (iconRect(inputAnchor(row)).contains(point)) {
            return {RoutingHitKind::Input, row};
        }
    }
    for (int row = 0; row < extent_.outputRows; ++row) {
        if (iconRect(outputAnchor(row)).contains(point)) {
            return {RoutingHitKind::Output, row};
        }
    }
    const int margin = scale_.px(4);
    for (int i = 0; i < static_cast<int>(connections.size()); ++i) {
        ViewRect box = handleRect(connections[i]);
        box = {box.left - margin, box.top - margin, box.width + 2 * margin,
               box.height + 2 * margin};
        if (box.contains(point)) {
            return {RoutingHitKind::Handle, i};
        }
    }
    if (withCurves) {
        for (int i = 0; i < static_cast<int>(connections.size()); ++i) {
            if (curveHit(curve(connections[i].inputRow, connections[i].outputRow), point)) {
                return {RoutingHitKind::Curve, i};
            }
        }
    }
    return {};
}

} // namespace corvex
