#include "frame_views.h"

#include "frame_text.h"
#include "image_names.h"
#include "mdi_layout.h"
#include "string_table.h"

#include <QContextMenuEvent>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <utility>

namespace corvex {
namespace {

constexpr int kInputMonitorInset = 22;

int viewTitle(ViewKind kind) {
    switch (kind) {
    case ViewKind::MainMonitor:
        return str::kMainMonitorTitle;
    case ViewKind::InputMonitor:
        return str::kInputMonitorTitle;
    case ViewKind::MidiStatus:
        return str::kMidiStatusTitle;
    case ViewKind::PortStatus:
        return str::kPortActivityTitle;
    case ViewKind::PortRouting:
        return str::kPortRoutingTitle;
    }
    return 0;
}

const char* viewIcon(ViewKind kind) {
    switch (kind) {
    case ViewKind::MainMonitor:
    case ViewKind::InputMonitor:
        return image::kMonitorIcon;
    case ViewKind::MidiStatus:
        return image::kMidiStatusIcon;
    case ViewKind::PortStatus:
        return image::kPortStatusIcon;
    case ViewKind::PortRouting:
        return image::kRoutingIcon;
    }
    return image::kFrameIcon;
}

std::size_t slot(ViewKind kind) {
    return static_cast<std::size_t>(kind);
}

QRect toQRect(const Rect& r) {
    return {r.x, r.y, r.width, r.height};
}

Rect toRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace

FrameViews::FrameViews(QMdiArea& area, FrameServices& services) : area_(area), services_(services) {
    area_.viewport()->installEventFilter(this);
}

void FrameViews::setViewFactory(ViewKind kind, ViewFactory factory) {
    factories_[slot(kind)] = std::move(factory);
}

bool FrameViews::canOpen(ViewKind kind) const {
    return factories_[slot(kind)] != nullptr || viewWindow(kind) != nullptr;
}

QMdiSubWindow* FrameViews::addView(ViewKind kind, QWidget* view) {
    if (QMdiSubWindow* existing = viewWindow(kind)) {
        activate(existing);
        return existing;
    }
    QMdiSubWindow* window = area_.addSubWindow(view);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(qs(loadString(viewTitle(kind))));
    window->setWindowIcon(QIcon(viewIcon(kind)));
    window->setProperty("viewKind", static_cast<int>(kind));
    window->installEventFilter(this);
    views_[slot(kind)] = window;
    connect(window, &QObject::destroyed, this, [this, window] { forget(window); });

    Rect placement;
    if (services_.savedPlacement(kind, placement)) {
        window->setGeometry(toQRect(placement));
    } else if (area_.viewport()->rect().isEmpty()) {
        unplaced_.insert(static_cast<int>(kind)); // placed once the area has a size
    } else {
        placeByDefault(kind, window);
    }
    window->show();
    area_.setActiveSubWindow(window);
    emit viewsChanged();
    return window;
}

void FrameViews::openView(ViewKind kind) {
    if (QMdiSubWindow* existing = viewWindow(kind)) {
        activate(existing);
        return;
    }
    const ViewFactory& factory = factories_[slot(kind)];
    if (QWidget* view = factory ? factory() : nullptr) {
        addView(kind, view);
    }
}

QMdiSubWindow* FrameViews::viewWindow(ViewKind kind) const {
    // A closed view leaves the area at once but is deleted later: it counts as gone.
    QMdiSubWindow* window = views_[slot(kind)];
    return window && area_.subWindowList().contains(window) ? window : nullptr;
}

void FrameViews::activate(QMdiSubWindow* window) {
    if (window->isMinimized()) {
        window->showNormal();
    }
    area_.setActiveSubWindow(window);
}

ViewKind FrameViews::activeMonitor() const {
    return isActive(ViewKind::InputMonitor) ? ViewKind::InputMonitor : ViewKind::MainMonitor;
}

bool FrameViews::isActive(ViewKind kind) const {
    QMdiSubWindow* active = area_.activeSubWindow();
    return active && active == viewWindow(kind);
}

QList<QMdiSubWindow*> FrameViews::windows() const {
    return area_.subWindowList();
}

QMdiSubWindow* FrameViews::activeWindow() const {
    return area_.activeSubWindow();
}

void FrameViews::closeActive() {
    if (QMdiSubWindow* active = area_.activeSubWindow()) {
        active->close(); // the view may refuse in its close event
    }
}

void FrameViews::closeAllButMainMonitor() {
    for (QMdiSubWindow* window : area_.subWindowList()) {
        if (window == viewWindow(ViewKind::MainMonitor)) {
            continue;
        }
        if (window->isMinimized()) {
            window->showNormal();
        }
        window->close();
    }
}

void FrameViews::cascade() {
    area_.cascadeSubWindows();
}

void FrameViews::tile(bool stacked) {
    std::vector<QMdiSubWindow*> windows;
    bool anyMinimized = false;
    const auto list = area_.subWindowList(QMdiArea::StackingOrder);
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if ((*it)->isMinimized()) {
            anyMinimized = true;
        } else if ((*it)->isVisible()) {
            windows.push_back(*it);
        }
    }
    Rect area = toRect(area_.viewport()->rect());
    if (anyMinimized) {
        area.height = std::max(1, area.height - QMdiSubWindow().minimumSizeHint().height());
    }
    const auto rects = tileRects(static_cast<int>(windows.size()), area,
                                 stacked ? TileDirection::Horizontal : TileDirection::Vertical);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (windows[i]->isMaximized()) {
            windows[i]->showNormal();
        }
        windows[i]->setGeometry(toQRect(rects[i]));
    }
}

void FrameViews::arrangeIcons() {
    std::vector<QMdiSubWindow*> minimized;
    for (QMdiSubWindow* window : area_.subWindowList()) {
        if (window->isMinimized()) {
            minimized.push_back(window);
        }
    }
    if (minimized.empty()) {
        return;
    }
    const QSize icon = minimized.front()->size();
    const auto rects = iconRects(static_cast<int>(minimized.size()),
                                 toRect(area_.viewport()->rect()), icon.width(), icon.height());
    for (std::size_t i = 0; i < minimized.size(); ++i) {
        minimized[i]->move(rects[i].x, rects[i].y);
    }
}

void FrameViews::beginTeardown() {
    tearingDown_ = true;
    area_.viewport()->removeEventFilter(this);
}

void FrameViews::placeByDefault(ViewKind kind, QMdiSubWindow* window) {
    const QRect area = area_.viewport()->rect();
    if (kind == ViewKind::InputMonitor) {
        window->setGeometry(kInputMonitorInset, kInputMonitorInset,
                            std::max(1, area.width() - kInputMonitorInset),
                            std::max(1, area.height() - kInputMonitorInset));
    } else if (kind == ViewKind::PortRouting || kind == ViewKind::MainMonitor) {
        window->setGeometry(area);
    }
}

void FrameViews::placeWaitingViews() {
    for (int kind : std::exchange(unplaced_, {})) {
        if (QMdiSubWindow* window = viewWindow(static_cast<ViewKind>(kind))) {
            placeByDefault(static_cast<ViewKind>(kind), window);
        }
    }
}

void FrameViews::forget(QMdiSubWindow* window) {
    if (tearingDown_) {
        return;
    }
    // `window` is being destroyed: compared as a pointer only, never used.
    for (QMdiSubWindow*& view : views_) {
        if (view == window) {
            view = nullptr;
        }
    }
    emit viewsChanged();
}

bool FrameViews::eventFilter(QObject* watched, QEvent* event) {
    if (tearingDown_) {
        return false; // the area and its windows are being taken apart
    }
    if (watched == area_.viewport()) {
        if (event->type() == QEvent::Resize && !unplaced_.empty() &&
            !area_.viewport()->rect().isEmpty()) {
            placeWaitingViews(); // views added before the frame was laid out
        } else if (event->type() == QEvent::ContextMenu) {
            emit areaContextMenuRequested(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::Close) {
        auto* window = qobject_cast<QMdiSubWindow*>(watched);
        if (window && window == viewWindow(ViewKind::MainMonitor)) {
            event->ignore(); // the main monitor lives as long as the frame
            return true;
        }
        if (window) {
            const int kind = window->property("viewKind").toInt();
            services_.viewClosed(static_cast<ViewKind>(kind), toRect(window->geometry()));
        }
    }
    return false;
}

} // namespace corvex
