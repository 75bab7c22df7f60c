// The views in the frame's multiple-document area: the monitors and the status and routing
// views, at most one of each kind. Adds them at their saved placement (or the default one
// once the area has a size), activates, closes and arranges them (cascade, tile, icons), and
// keeps the main monitor open as long as the frame.
//
// Threads: user-interface thread only.
#pragma once

#include "frame_services.h"

#include <QList>
#include <QObject>
#include <QPoint>

#include <array>
#include <functional>
#include <set>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace corvex {

class FrameViews : public QObject {
    Q_OBJECT

public:
    using ViewFactory = std::function<QWidget*()>;

    // `area` belongs to the frame and must outlive this object's use of it; call
    // beginTeardown() before deleting it.
    FrameViews(QMdiArea& area, FrameServices& services);

    void setViewFactory(ViewKind kind, ViewFactory factory);
    // Whether the view of `kind` can be opened (it has a factory or is open).
    bool canOpen(ViewKind kind) const;
    // Adds `view` as the view of `kind` and shows it; an open view of that kind is activated
    // instead (and `view` left to the caller).
    QMdiSubWindow* addView(ViewKind kind, QWidget* view);
    // Activates the view of `kind`, making it first when it is not open; a view that could not
    // be made fails silently.
    void openView(ViewKind kind);
    // The open view of `kind`, or null.
    QMdiSubWindow* viewWindow(ViewKind kind) const;
    // Restores `window` when minimised and makes it the active one.
    void activate(QMdiSubWindow* window);
    // The input monitor when it is the active view, else the main monitor.
    ViewKind activeMonitor() const;
    // The monitor `kind` when it is the active view.
    bool isActive(ViewKind kind) const;
    // Every window in the area, in creation order, and the active one (or null).
    QList<QMdiSubWindow*> windows() const;
    QMdiSubWindow* activeWindow() const;

    // Asks the active view to close (it may refuse).
    void closeActive();
    // Restores and closes every view but the main monitor.
    void closeAllButMainMonitor();
    void cascade();
    // Stacked: one above the other; otherwise side by side. Minimised views keep a row.
    void tile(bool stacked);
    void arrangeIcons();

    // The area is about to be deleted: its windows' signals are ignored from now on.
    void beginTeardown();

signals:
    // A view was added or has gone.
    void viewsChanged();
    // A right click on the empty area at `globalPos`.
    void areaContextMenuRequested(QPoint globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeByDefault(ViewKind kind, QMdiSubWindow* window);
    void placeWaitingViews();
    void forget(QMdiSubWindow* window);

    QMdiArea& area_;
    FrameServices& services_;
    // Cleared through each window's destroyed signal.
    std::array<QMdiSubWindow*, kViewKindCount> views_{};
    std::array<ViewFactory, kViewKindCount> factories_{};
    std::set<int> unplaced_; // kinds waiting for the area's first size
    bool tearingDown_ = false;
};

} // namespace corvex
