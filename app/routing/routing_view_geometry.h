// Where the routing view draws: the port anchors of both columns, the headers, the
// connection curves and their handles, the scroll range, and which thing lies under a point.
// All lengths follow the view's scale; text widths are measured by the window (the widest of
// the column's header in the header font and its labels in the text font) and passed in.
//
// User-interface thread only (plain values).
#pragma once

#include "routing/routing_view_content.h"
#include "routing/routing_view_scale.h"

#include <array>
#include <vector>

namespace corvex {

struct ViewPoint {
    double x = 0;
    double y = 0;
    bool operator==(const ViewPoint&) const = default;
};

struct ViewRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool contains(ViewPoint p) const {
        return p.x >= left && p.x < left + width && p.y >= top && p.y < top + height;
    }
    bool operator==(const ViewRect&) const = default;
};

// A cubic Bézier curve: from p[0] through the control points p[1], p[2] to p[3].
struct ViewCurve {
    std::array<ViewPoint, 4> p;
    ViewPoint at(double t) const;
};

enum class RoutingHitKind { Empty, Input, Output, Handle, Curve };

struct RoutingHit {
    RoutingHitKind kind = RoutingHitKind::Empty;
    int index = -1; // the row for a port, the connection for a handle or curve
    bool operator==(const RoutingHit&) const = default;
};

enum class ScrollStep { PageUp, PageDown, Home, End, LineUp, LineDown };

struct RoutingViewExtent {
    int inputRows = 1;
    int outputRows = 0;
    int inputTextWidth = 0;
    int outputTextWidth = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};

class RoutingViewGeometry {
public:
    RoutingViewGeometry(const RoutingViewScale& scale, const RoutingViewExtent& extent);

    int rowPitch() const;
    int contentHeight() const;
    int scrollRange() const;
    int scroll() const { return scroll_; }
    // Each keeps the scroll position within 0 and the scroll range.
    void setScroll(int position);
    void scrollBy(ScrollStep step);
    // One row pitch per notch of 120, proportionally for finer wheels; away from the user
    // (positive) scrolls up.
    void scrollByWheel(int delta);

    ViewPoint inputAnchor(int row) const;
    ViewPoint outputAnchor(int row) const;
    ViewPoint inputHeader() const;
    ViewPoint outputHeader() const;
    int inputLabelX() const;
    int outputLabelX() const;
    ViewRect iconRect(ViewPoint anchor) const;

    ViewCurve curve(int inputRow, int outputRow) const;
    // Ends at `to` (the mouse point during a drag) from the anchor of the start row.
    ViewCurve curveBetween(ViewPoint from, ViewPoint to) const;
    ViewPoint handleCentre(const RoutingViewConnection& connection) const;
    ViewRect handleRect(const RoutingViewConnection& connection) const;
    int penWidth() const;

    // Input icons, output icons, handles; with `withCurves` (the context menu) also the
    // curves themselves; else the empty area.
    RoutingHit hitTest(ViewPoint point, const std::vector<RoutingViewConnection>& connections,
                       bool withCurves) const;

private:
    ViewPoint anchor(double x, int row) const;
    bool curveHit(const ViewCurve& curve, ViewPoint point) const;

    RoutingViewScale scale_;
    RoutingViewExtent extent_;
    int scroll_ = 0;
};

} // namespace corvex
