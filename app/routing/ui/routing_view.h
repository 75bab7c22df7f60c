// "MIDI Port Routing": the selected inputs on the left, the selected outputs on the right and
// a curve for every connection. Dragging from an input onto an output (or back) connects the
// pair; dragging a connection's handle away disconnects it; the context menus connect and
// disconnect in bulk. Every edit goes through the routing operations and then to the host,
// which applies it to the program and asks the view to refresh.
//
// User-interface thread only.
#pragma once

#include "routing/routing_operations.h"
#include "routing/routing_view_content.h"
#include "routing/routing_view_drag.h"
#include "routing/routing_view_geometry.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QPainter>

#include <array>
#include <string>
#include <vector>

namespace corvex {

// What the view shows and where its edits go.
class RoutingViewHost {
public:
    virtual ~RoutingViewHost() = default;
    virtual RoutingState routing() const = 0;
    // Display names by device index.
    virtual std::vector<std::string> portNames(bool inputs) const = 0;
    // Applies `state`, the result of an edit, with the effects of `change` in order.
    virtual void applyRouting(const RoutingState& state, const RoutingChange& change) = 0;
    virtual void zoomChanged(int percent) = 0;
    // The folder whose ".vxm" files the connection properties offer.
    virtual std::string mapFolder() const = 0;
};

struct RoutingViewLook {
    QColor background{126, 135, 156};
    QColor text{255, 255, 255};
    std::array<QColor, 16> routes{}; // "Route Port 1" .. "Route Port 16"
    int zoomPercent = 100;
};

class RoutingView : public QAbstractScrollArea {
    Q_OBJECT
public:
    RoutingView(RoutingViewHost& host, const RoutingViewLook& look, QWidget* parent = nullptr);

    // Rebuilds the rows and connections from the host and redraws (port lists or maps
    // changed).
    void refresh();
    void setLook(const RoutingViewLook& look);

    const RoutingViewContent& content() const { return content_; }
    const RoutingViewGeometry& layoutGeometry() const { return geometry_; }
    int zoomPercent() const { return scale_.zoomPercent(); }
    bool dragging() const { return drag_.active(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void layOut();
    void changeZoom(bool changed);
    void cancelDrag();
    void apply(RoutingState& state, const RoutingChange& change);
    // "Connection Properties" of the pair; OK applies them.
    void editProperties(int input, int output);
    void updateCursor(ViewPoint point);
    int textWidth(const std::vector<RoutingViewRow>& rows, const char* header) const;
    QColor routeColour(int inputRow) const;

    void paintHeaders(QPainter& painter) const;
    void paintConnections(QPainter& painter) const;
    void paintRows(QPainter& painter) const;
    void paintDragCurve(QPainter& painter) const;
    void paintPortIcon(QPainter& painter, ViewPoint anchor) const;
    void paintHandle(QPainter& painter, const RoutingViewConnection& connection) const;

    RoutingViewHost& host_;
    RoutingViewLook look_;
    RoutingViewScale scale_;
    RoutingViewContent content_;
    RoutingViewGeometry geometry_;
    RoutingViewDrag drag_;
    ViewPoint mouse_;
    QFont textFont_;
    QFont headerFont_;
};

} // namespace corvex
