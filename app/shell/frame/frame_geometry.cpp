#include "frame_geometry.h"

#include "frame_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <vector>

namespace corvex {
namespace {

Rect toRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

// The available area of every screen, the primary one first.
std::vector<Rect> availableScreens() {
    std::vector<Rect> screens;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) {
        screens.push_back(toRect(primary->availableGeometry()));
    }
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) {
            screens.push_back(toRect(screen->availableGeometry()));
        }
    }
    return screens;
}

} // namespace

WindowGeometry windowGeometryOf(const QWidget& window) {
    const QRect normal =
        window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    WindowGeometry geometry{normal.x(), normal.y(), normal.width(), normal.height()};
    if (window.isMinimized()) {
        geometry.state = WindowGeometry::State::Minimized;
    } else if (window.isMaximized()) {
        geometry.state = WindowGeometry::State::Maximized;
    }
    return geometry;
}

void placeFrame(QWidget& frame, const std::optional<WindowGeometry>& saved, bool keepPosition) {
    std::optional<Rect> stored;
    if (saved) {
        stored = Rect{saved->x, saved->y, saved->width, saved->height};
    }
    const std::vector<Rect> screens = availableScreens();
    const Rect rect = frameOpeningRect(stored, screens);
    if (keepPosition) {
        frame.setGeometry(rect.x, rect.y, rect.width, rect.height); // the client rectangle
    } else {
        frame.resize(rect.width, rect.height);
    }
}

} // namespace corvex
