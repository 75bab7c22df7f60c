#include "routing/ui/routing_view.h"

#include "routing/connection_properties.h"
#include "routing/routing_view_menus.h"
#include "routing/ui/connection_properties_dialog.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainterPath>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace corvex {
namespace {

constexpr const char* kInputHeader = "Input Ports";
constexpr const char* kOutputHeader = "Output Ports";

QPointF toQt(ViewPoint p) {
    return {p.x, p.y};
}
ViewPoint fromQt(const QPointF& p) {
    return {p.x(), p.y()};
}

QPainterPath pathOf(const ViewCurve& curve) {
    QPainterPath path(toQt(curve.p[0]));
    path.cubicTo(toQt(curve.p[1]), toQt(curve.p[2]), toQt(curve.p[3]));
    return path;
}

// A small sans font for the rows and a bold one for the headers, from the system's own
// fonts so that the layout never rests on a missing family.
QFont systemFont(int pixels, QFont::Weight weight) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(std::max(pixels, 1));
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

RoutingView::RoutingView(RoutingViewHost& host, const RoutingViewLook& look, QWidget* parent)
    : QAbstractScrollArea(parent), host_(host), look_(look),
      scale_(routingViewDpi(std::nullopt, std::nullopt), look.zoomPercent), geometry_(scale_, {}) {
    setWindowTitle(tr("MIDI Port Routing"));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    refresh();
}

void RoutingView::setLook(const RoutingViewLook& look) {
    look_ = look;
    scale_ = RoutingViewScale(routingViewDpi(std::nullopt, logicalDpiX()), look.zoomPercent);
    layOut();
}

void RoutingView::refresh() {
    // Rows renumber when the ports change: a drag under way would aim at other ports.
    cancelDrag();
    content_ = routingViewContent(host_.routing(), host_.portNames(true), host_.portNames(false));
    layOut();
}

int RoutingView::textWidth(const std::vector<RoutingViewRow>& rows, const char* header) const {
    int widest = QFontMetrics(headerFont_).horizontalAdvance(QString::fromUtf8(header));
    const QFontMetrics text(textFont_);
    for (const auto& row : rows) {
        widest = std::max(widest, text.horizontalAdvance(QString::fromStdString(row.label)));
    }
    return widest;
}

void RoutingView::layOut() {
    scale_ = RoutingViewScale(routingViewDpi(std::nullopt, logicalDpiX()), scale_.zoomPercent());
    textFont_ = systemFont(scale_.px(8), QFont::Normal);
    headerFont_ = systemFont(scale_.px(10.666667), QFont::Black);
    const int scroll = geometry_.scroll();
    geometry_ = RoutingViewGeometry(scale_, {static_cast<int>(content_.inputs.size()),
                                             static_cast<int>(content_.outputs.size()),
                                             textWidth(content_.inputs, kInputHeader),
                                             textWidth(content_.outputs, kOutputHeader),
                                             viewport()->width(), viewport()->height()});
    geometry_.setScroll(scroll);
    QScrollBar* bar = verticalScrollBar();
    const QSignalBlocker quiet(bar);
    bar->setRange(0, geometry_.scrollRange());
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(geometry_.rowPitch());
    bar->setValue(geometry_.scroll());
    viewport()->update();
}

void RoutingView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    layOut();
}

void RoutingView::scrollContentsBy(int, int) {
    geometry_.setScroll(verticalScrollBar()->value());
    viewport()->update();
}

QColor RoutingView::routeColour(int inputRow) const {
    return look_.routes[inputRow % 16];
}

void RoutingView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), look_.background);
    painter.setRenderHint(QPainter::Antialiasing);
    paintHeaders(painter);
    paintConnections(painter);
    paintRows(painter);
    paintDragCurve(painter);
}

void RoutingView::paintHeaders(QPainter& painter) const {
    painter.setFont(headerFont_);
    painter.setPen(look_.text);
    const int ascent = QFontMetrics(headerFont_).ascent();
    for (const auto& [at, text] : {std::pair{geometry_.inputHeader(), kInputHeader},
                                   std::pair{geometry_.outputHeader(), kOutputHeader}}) {
        painter.drawText(QPointF(at.x, at.y + ascent), QString::fromUtf8(text));
    }
}

void RoutingView::paintConnections(QPainter& painter) const {
    for (const auto& connection : content_.connections) {
        painter.setPen(QPen(routeColour(connection.inputRow), geometry_.penWidth(), Qt::SolidLine,
                            Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(pathOf(geometry_.curve(connection.inputRow, connection.outputRow)));
    }
    for (const auto& connection : content_.connections) {
        paintHandle(painter, connection);
    }
}

void RoutingView::paintHandle(QPainter& painter, const RoutingViewConnection& connection) const {
    const ViewRect box = geometry_.handleRect(connection);
    const QRectF square(box.left, box.top, box.width, box.height);
    const bool filtered = connection.image == HandleImage::Filtered ||
                          connection.image == HandleImage::FilteredMapped;
    const bool mapped = connection.image == HandleImage::AllPassMapped ||
                        connection.image == HandleImage::FilteredMapped;
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(filtered ? QColor(255, 190, 40) : QColor(255, 255, 255));
    painter.drawRect(square.adjusted(0.5, 0.5, -0.5, -0.5));
    if (mapped) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 60, 200));
        painter.drawEllipse(square.center(), box.width / 4.0, box.height / 4.0);
    }
}

void RoutingView::paintPortIcon(QPainter& painter, ViewPoint anchor) const {
    const ViewRect box = geometry_.iconRect(anchor);
    const QRectF square(box.left, box.top, box.width, box.height);
    painter.setPen(QPen(QColor(20, 20, 20), std::max(scale_.px(1), 1)));
    painter.setBrush(QColor(60, 60, 66));
    painter.drawRoundedRect(square.adjusted(1, 1, -1, -1), box.width / 6.0, box.width / 6.0);
    // A round five-pin socket.
    const QPointF centre = square.center();
    const double radius = box.width * 0.34;
    painter.setBrush(QColor(20, 20, 20));
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(210, 210, 210));
    const double pin = std::max(box.width / 16.0, 1.0);
    for (double angle : {180.0, 225.0, 270.0, 315.0, 360.0}) {
        QLineF ray(centre, centre + QPointF(radius * 0.65, 0));
        ray.setAngle(angle);
        painter.drawEllipse(ray.p2(), pin, pin);
    }
}

void RoutingView::paintRows(QPainter& painter) const {
    painter.setFont(textFont_);
    const QFontMetrics metrics(textFont_);
    const double middle = (metrics.ascent() - metrics.descent()) / 2.0;
    const auto paintColumn = [&](const std::vector<RoutingViewRow>& rows, bool inputs) {
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            const ViewPoint anchor =
                inputs ? geometry_.inputAnchor(row) : geometry_.outputAnchor(row);
            painter.setPen(look_.text);
            const int x = inputs ? geometry_.inputLabelX() : geometry_.outputLabelX();
            painter.drawText(QPointF(x, anchor.y + middle),
                             QString::fromStdString(rows[row].label));
            paintPortIcon(painter, anchor);
        }
    };
    paintColumn(content_.inputs, true);
    paintColumn(content_.outputs, false);
}

void RoutingView::paintDragCurve(QPainter& painter) const {
    if (!drag_.drawsCurve()) {
        return;
    }
    const RoutingHit& start = drag_.start();
    const bool fromInput = start.kind == RoutingHitKind::Input;
    const ViewPoint anchor =
        fromInput ? geometry_.inputAnchor(start.index) : geometry_.outputAnchor(start.index);
    QColor colour = routeColour(fromInput ? start.index : 0);
    colour.setAlphaF(0.82);
    painter.setPen(QPen(colour, geometry_.penWidth(), Qt::DashLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const ViewCurve curve =
        fromInput ? geometry_.curveBetween(anchor, mouse_) : geometry_.curveBetween(mouse_, anchor);
    painter.drawPath(pathOf(curve));
}

void RoutingView::updateCursor(ViewPoint point) {
    const RoutingHit hit = geometry_.hitTest(point, content_.connections, false);
    if (drag_.drawsCurve() || hit.kind == RoutingHitKind::Input ||
        hit.kind == RoutingHitKind::Output) {
        viewport()->setCursor(Qt::CrossCursor);
    } else if (hit.kind == RoutingHitKind::Handle) {
        viewport()->setCursor(Qt::PointingHandCursor);
    } else {
        viewport()->setCursor(Qt::ArrowCursor);
    }
}

void RoutingView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    mouse_ = fromQt(event->position());
    if (drag_.begin(geometry_.hitTest(mouse_, content_.connections, false))) {
        viewport()->update();
    }
}

void RoutingView::mouseMoveEvent(QMouseEvent* event) {
    mouse_ = fromQt(event->position());
    updateCursor(mouse_);
    if (drag_.drawsCurve()) {
        viewport()->update();
    }
}

void RoutingView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !drag_.active()) {
        return;
    }
    mouse_ = fromQt(event->position());
    const bool inside = viewport()->rect().contains(event->position().toPoint());
    const RoutingDragOutcome outcome =
        drag_.finish(geometry_.hitTest(mouse_, content_.connections, false), inside, content_);
    viewport()->update();
    if (outcome.action == RoutingDragOutcome::Action::Properties) {
        editProperties(outcome.input, outcome.output);
        return;
    }
    RoutingState state = host_.routing();
    apply(state, applyDragOutcome(state, outcome));
}

void RoutingView::editProperties(int input, int output) {
    const auto labelOf = [](const std::vector<RoutingViewRow>& rows, int device) {
        const auto row = std::find_if(rows.begin(), rows.end(), [device](const RoutingViewRow& r) {
            return r.device == device;
        });
        return row != rows.end() ? row->label : std::string();
    };
    const std::string folder = host_.mapFolder();
    std::vector<std::string> files;
    if (!folder.empty()) {
        for (const QString& name : QDir(QString::fromStdString(folder)).entryList(QDir::Files)) {
            files.push_back(name.toStdString());
        }
    }
    const ConnectionProperties properties =
        connectionPropertiesOf(host_.routing(), input, output, labelOf(content_.inputs, input),
                               labelOf(content_.outputs, output), folder, files);
    ConnectionPropertiesDialog dialog(properties, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    RoutingState state = host_.routing();
    apply(state, applyConnectionProperties(state, dialog.properties()));
}

void RoutingView::apply(RoutingState& state, const RoutingChange& change) {
    if (change.touchedOutputs.empty() && !change.portDataMapsChanged) {
        return;
    }
    host_.applyRouting(state, change);
    refresh();
}

void RoutingView::cancelDrag() {
    if (drag_.active()) {
        drag_.cancel();
        viewport()->update();
    }
}

void RoutingView::changeZoom(bool changed) {
    if (changed) {
        host_.zoomChanged(scale_.zoomPercent());
        layOut();
    }
}

void RoutingView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (event->modifiers() & Qt::ControlModifier) {
        if (!drag_.active() && delta != 0) {
            changeZoom(delta > 0 ? scale_.zoomIn() : scale_.zoomOut());
        }
    } else {
        geometry_.scrollByWheel(delta);
        verticalScrollBar()->setValue(geometry_.scroll());
    }
    event->accept();
}

void RoutingView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        cancelDrag();
        return;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        if (drag_.active()) {
            return;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Plus || key == Qt::Key_Equal) {
            changeZoom(scale_.zoomIn());
        } else if (key == Qt::Key_Down || key == Qt::Key_Minus) {
            changeZoom(scale_.zoomOut());
        } else if (key == Qt::Key_0) {
            changeZoom(scale_.resetZoom());
        }
        return;
    }
    static const std::pair<int, ScrollStep> steps[] = {
        {Qt::Key_PageUp, ScrollStep::PageUp}, {Qt::Key_PageDown, ScrollStep::PageDown},
        {Qt::Key_Home, ScrollStep::Home},     {Qt::Key_End, ScrollStep::End},
        {Qt::Key_Up, ScrollStep::LineUp},     {Qt::Key_Down, ScrollStep::LineDown}};
    for (const auto& [code, step] : steps) {
        if (key == code) {
            geometry_.scrollBy(step);
            verticalScrollBar()->setValue(geometry_.scroll());
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void RoutingView::contextMenuEvent(QContextMenuEvent* event) {
    cancelDrag();
    const RoutingHit hit =
        geometry_.hitTest(fromQt(QPointF(event->pos())), content_.connections, true);
    // The rows as the menu was opened: the ports may change while it is open.
    const RoutingViewContent shown = content_;
    QMenu menu(this);
    for (const auto& entry : routingContextMenu(hit, shown)) {
        QAction* action = menu.addAction(QString::fromStdString(entry.text));
        action->setData(static_cast<int>(entry.command));
    }
    const QAction* chosen = menu.exec(event->globalPos());
    if (chosen == nullptr) {
        return;
    }
    RoutingState state = host_.routing();
    const auto command = static_cast<RoutingMenuCommand>(chosen->data().toInt());
    if (command == RoutingMenuCommand::Properties) {
        const RoutingViewConnection& connection = shown.connections.at(hit.index);
        editProperties(connection.input, connection.output);
        return;
    }
    apply(state, runRoutingMenuCommand(state, command, hit, shown));
}

void RoutingView::focusOutEvent(QFocusEvent* event) {
    cancelDrag();
    QAbstractScrollArea::focusOutEvent(event);
}

void RoutingView::hideEvent(QHideEvent* event) {
    cancelDrag();
    QAbstractScrollArea::hideEvent(event);
}

} // namespace corvex
