#include "views/monitor_window.h"

#include "cvxlib.h"
#include "resources/command_ids.h"
#include "resources/window_messages.h"
#include "views/engine_monitor_feed.h"
#include "views/line_colour.h"
#include "views/message_target.h"
#include "views/monitor_font_dialog.h"
#include "views/monitor_font_store.h"
#include "views/scheme_colours.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

namespace corvex {

namespace {

// WM_COMMAND carries the id in the low 16 bits of wParam.
int commandId(uintptr_t wParam) {
    return static_cast<int>(wParam & 0xFFFF);
}

QFont fixedPitchFont(const MonitorFont& settings) {
    QFont font(QString::fromStdString(settings.faceName));
    font.setPointSize(std::max(settings.size, 1));
    font.setBold(settings.bold);
    font.setItalic(settings.italic);
    font.setStyleHint(QFont::Monospace, QFont::PreferDefault);
    font.setFixedPitch(true);
    if (QFontInfo(font).fixedPitch()) {
        return font;
    }
    QFont fallback = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fallback.setPointSize(font.pointSize());
    fallback.setBold(settings.bold);
    fallback.setItalic(settings.italic);
    return fallback;
}

} // namespace

MonitorWindow::MonitorWindow(MonitorKind kind, const EventText& text, QWidget* parent)
    : QAbstractScrollArea(parent), kind_(kind), model_(text),
      target_(
          std::make_unique<MessageTarget>([this](uint32_t msg, uintptr_t wParam, intptr_t lParam) {
              onMessage(msg, wParam, lParam);
          })) {
    setWindowTitle(kind == MonitorKind::Main ? mainTitle : inputTitle);
    setObjectName(kind == MonitorKind::Main ? "mainMonitor" : "inputMonitor");
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    frameTimer_ = new QTimer(this);
    frameTimer_->setSingleShot(true);
    frameTimer_->setInterval(frameIntervalMs);
    connect(frameTimer_, &QTimer::timeout, this, [this] {
        syncScrollBars();
        viewport()->update();
    });
    followUpDrain_ = new QTimer(this);
    followUpDrain_->setSingleShot(true);
    followUpDrain_->setInterval(followUpDrainMs);
    connect(followUpDrain_, &QTimer::timeout, this, &MonitorWindow::drain);
    setColours(screenDefaultColours(*this));
    SettingsStore store;
    if (!setMonitorFont(loadMonitorFont(store))) {
        setMonitorFont(MonitorFont{});
    }
}

MonitorWindow::~MonitorWindow() {
    if (kind_ == MonitorKind::Input && client_ != 0) {
        DetachRawMonitor(client_);
    }
}

HWND MonitorWindow::hwnd() const {
    return target_->hwnd();
}

bool MonitorWindow::attach(uint64_t client) {
    if (kind_ == MonitorKind::Input && AttachRawMonitor(client, hwnd()) == 0) {
        return false;
    }
    client_ = client;
    feed_ = std::make_unique<EngineMonitorFeed>(client, kind_ == MonitorKind::Main ? MON_MAIN
                                                                                   : MON_RAW_INPUT);
    return true;
}

void MonitorWindow::setColours(const ColourScheme& colours) {
    std::transform(colours.begin(), colours.end(), colours_.begin(), toQColor);
    viewport()->update();
}

void MonitorWindow::setChannelColours(bool on) {
    channelColours_ = on;
    viewport()->update();
}

void MonitorWindow::setHex(bool hex) {
    model_.setNumberStyle(hex ? NumberStyle::Hex : NumberStyle::Decimal);
    viewport()->update();
}

bool MonitorWindow::setMonitorFont(const MonitorFont& font) {
    const QFont chosen = fixedPitchFont(font);
    if (!QFontInfo(chosen).fixedPitch()) {
        return false;
    }
    font_ = chosen;
    const QFontMetrics metrics(font_);
    const int headerColumns = static_cast<int>(EventText::header.size()) + 1;
    charWidth_ = std::max(1, metrics.horizontalAdvance(QString(headerColumns, QLatin1Char('M'))) /
                                 headerColumns);
    lineHeight_ = std::max(1, metrics.height());
    ascent_ = metrics.ascent();
    relayout();
    viewport()->update();
    return true;
}

void MonitorWindow::appendText(std::string_view text) {
    model_.appendText(text);
    grid_.linesAdded(model_.lineCount(), 0);
    syncScrollBars();
    viewport()->update();
}

void MonitorWindow::drain() {
    if (!feed_) {
        return;
    }
    const size_t before = model_.lineCount();
    const size_t added = model_.drain(*feed_);
    if (added == 0) {
        return;
    }
    grid_.linesAdded(model_.lineCount(), before + added - model_.lineCount());
    if (!frameTimer_->isActive()) {
        frameTimer_->start();
    }
    followUpDrain_->start();
    emit linesAdded(added);
}

void MonitorWindow::onMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    handleMessage(msg, wParam, lParam);
}

intptr_t MonitorWindow::handleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    switch (msg) {
    case WM_CVX_EVENTS:
        drain();
        return 0;
    case WM_CVX_MONITORTEXT:
        if (lParam != 0) {
            appendText(reinterpret_cast<const char*>(lParam));
        }
        return 0;
    case WM_CVX_SYSEXDATA:
        RetBuf(reinterpret_cast<HMIDIIN>(wParam), static_cast<uint64_t>(lParam));
        return 0;
    case WM_CVX_PATCH_CHANGE:
        if (patchChange_) {
            patchChange_(wParam, lParam);
        }
        return 0;
    case WM_CVX_ASKMONITOR:
        return wParam == cmd::kAskMarking && grid_.marking() ? 1 : 0;
    case WM_COMMAND:
        return runCommand(commandId(wParam), lParam) ? 1 : 0;
    default:
        return 0;
    }
}

bool MonitorWindow::runCommand(int id, intptr_t argument) {
    switch (id) {
    case cmd::kViewHexDisplay:
        setHex(argument != 0);
        break;
    case cmd::kMarkForClipboard:
        grid_.setMarking(!grid_.marking());
        break;
    case cmd::kCopyToClipboard:
        if (grid_.selection()) {
            copyToClipboard(model_.selectionText(grid_));
            grid_.setMarking(false);
        }
        break;
    case cmd::kMarkWindow:
        grid_.markVisible();
        break;
    case cmd::kCopyAll:
        copyToClipboard(model_.copyAllText());
        break;
    case cmd::kClearMonitor:
        model_.clear();
        grid_.setLineCount(0);
        syncScrollBars();
        break;
    case cmd::kMonitorFont:
        chooseFont();
        break;
    case cmd::kInputMonitorFont: {
        SettingsStore store;
        setMonitorFont(loadMonitorFont(store));
        break;
    }
    default:
        return false;
    }
    viewport()->update();
    return true;
}

void MonitorWindow::chooseFont() {
    MonitorFontDialog dialog(font_, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const MonitorFont chosen = dialog.monitorFont();
    if (!setMonitorFont(chosen)) {
        MonitorFontDialog::reportFontError(this);
        return;
    }
    SettingsStore store;
    saveMonitorFont(store, chosen);
    emit fontChosen(chosen);
}

void MonitorWindow::copyToClipboard(const std::string& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(QString::fromStdString(text));
    }
}

void MonitorWindow::relayout() {
    const QSize size = viewport()->size();
    grid_.setViewSize(size.width() / charWidth_, size.height() / lineHeight_);
    grid_.setLineCount(model_.lineCount());
    syncScrollBars();
}

void MonitorWindow::syncScrollBars() {
    syncingScrollBars_ = true;
    verticalScrollBar()->setRange(0, grid_.maxTopLine());
    verticalScrollBar()->setPageStep(std::max(grid_.visibleLines(), 1));
    verticalScrollBar()->setValue(grid_.topLine());
    horizontalScrollBar()->setRange(0, grid_.maxLeftColumn());
    horizontalScrollBar()->setPageStep(std::max(grid_.visibleColumns(), 1));
    horizontalScrollBar()->setValue(grid_.leftColumn());
    syncingScrollBars_ = false;
}

void MonitorWindow::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void MonitorWindow::scrollContentsBy(int, int) {
    if (syncingScrollBars_) {
        return;
    }
    if (verticalScrollBar()->value() != grid_.topLine()) {
        grid_.scrollTo(verticalScrollBar()->value());
    }
    if (horizontalScrollBar()->value() != grid_.leftColumn()) {
        grid_.scrollColumnsTo(horizontalScrollBar()->value());
    }
    viewport()->update();
}

void MonitorWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Home:
        grid_.scrollTo(0);
        break;
    case Qt::Key_End:
        grid_.scrollTo(grid_.maxTopLine());
        break;
    case Qt::Key_PageUp:
        grid_.scrollPage(-1);
        break;
    case Qt::Key_PageDown:
        grid_.scrollPage(1);
        break;
    case Qt::Key_Up:
        grid_.scrollBy(-1);
        break;
    case Qt::Key_Down:
        grid_.scrollBy(1);
        break;
    case Qt::Key_Left:
        grid_.scrollColumnsBy(-1);
        break;
    case Qt::Key_Right:
        grid_.scrollColumnsBy(1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        runCommand(cmd::kCopyToClipboard);
        return;
    case Qt::Key_Escape:
        grid_.setMarking(false);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    syncScrollBars();
    viewport()->update();
}

void MonitorWindow::wheelEvent(QWheelEvent* event) {
    if (!isActiveWindow()) {
        event->ignore();
        return;
    }
    const int delta = event->angleDelta().y();
    const int lines = QApplication::wheelScrollLines();
    const bool page = (event->modifiers() & Qt::ShiftModifier) || lines <= 0;
    if (page) {
        grid_.scrollPage(delta > 0 ? -1 : 1);
    } else {
        grid_.scrollBy(-delta * lines / 120);
    }
    syncScrollBars();
    viewport()->update();
    event->accept();
}

QPoint MonitorWindow::cellAt(QPoint position) const {
    return {position.x() / charWidth_, position.y() / lineHeight_};
}

QRect MonitorWindow::cellRect(const CellRect& cells) const {
    return QRect(cells.left * charWidth_, cells.top * lineHeight_,
                 (cells.right - cells.left + 1) * charWidth_,
                 (cells.bottom - cells.top + 1) * lineHeight_);
}

void MonitorWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (!grid_.marking() && (event->modifiers() & Qt::ControlModifier)) {
        grid_.setMarking(true);
    }
    const QPoint cell = cellAt(event->position().toPoint());
    grid_.press(cell.x(), cell.y(), event->modifiers() & Qt::ShiftModifier);
    viewport()->update();
}

void MonitorWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !grid_.marking()) {
        grid_.setMarking(true);
    }
    mousePressEvent(event);
}

void MonitorWindow::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        const QPoint cell = cellAt(event->position().toPoint());
        grid_.dragTo(cell.x(), cell.y());
        viewport()->update();
    }
}

void MonitorWindow::mouseReleaseEvent(QMouseEvent* event) {
    event->setAccepted(event->button() == Qt::LeftButton);
}

void MonitorWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* numbers = menu.addAction(hex() ? tr("Displa&y Decimal") : tr("Displa&y Hex"));
    menu.addSeparator();
    QAction* mark = menu.addAction(tr("Ma&rk for Clipboard"));
    mark->setCheckable(true);
    mark->setChecked(grid_.marking());
    QAction* copy = menu.addAction(tr("Copy to Clip&board"));
    copy->setEnabled(grid_.marking());
    QAction* markWindow = menu.addAction(tr("Mar&k Window"));
    QAction* copyAll = menu.addAction(tr("Copy &All"));
    menu.addSeparator();
    QAction* clear =
        menu.addAction(kind_ == MonitorKind::Main ? tr("&Clear Monitor") : tr("&Clear Input"));

    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == numbers) {
        setHex(!hex());
        emit hexChanged(hex());
    } else if (chosen == mark) {
        runCommand(cmd::kMarkForClipboard);
    } else if (chosen == copy) {
        runCommand(cmd::kCopyToClipboard);
    } else if (chosen == markWindow) {
        runCommand(cmd::kMarkWindow);
    } else if (chosen == copyAll) {
        runCommand(cmd::kCopyAll);
    } else if (chosen == clear) {
        runCommand(cmd::kClearMonitor);
    }
}

void MonitorWindow::closeEvent(QCloseEvent* event) {
    // In the frame the main monitor lives as long as the program: closing its MDI window
    // only minimises it. Outside an MDI window (nothing to minimise into) it closes, so an
    // application quit is never refused.
    auto* subWindow = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (kind_ == MonitorKind::Main && subWindow != nullptr) {
        event->ignore();
        subWindow->showMinimized();
        return;
    }
    event->accept();
    if (kind_ == MonitorKind::Input) {
        emit closed();
    }
}

void MonitorWindow::paintRow(QPainter& painter, int row, std::string& scratch) const {
    const QRect rowRect(0, row * lineHeight_, viewport()->width(), lineHeight_);
    const int x = -grid_.leftColumn() * charWidth_;
    const int baseline = rowRect.top() + ascent_;
    if (row == 0) {
        painter.fillRect(rowRect, colours_[kLabelBackground]);
        painter.setPen(colours_[kLabelText]);
        painter.drawText(x, baseline, QString::fromLatin1(EventText::header));
        return;
    }
    painter.fillRect(rowRect, colours_[kMonitorBackground]);
    const size_t index = static_cast<size_t>(grid_.topLine() + row - 1);
    if (index >= model_.lineCount()) {
        return;
    }
    model_.lineText(index, scratch);
    painter.setPen(colours_[lineColourIndex(model_.lines()[index], channelColours_)]);
    painter.drawText(x, baseline,
                     QString::fromUtf8(scratch.data(), static_cast<int>(scratch.size())));
}

void MonitorWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setFont(font_);
    const QRect area = event->rect();
    const int firstRow = area.top() / lineHeight_;
    const int lastRow = std::min(area.bottom() / lineHeight_, grid_.visibleLines());
    std::string scratch;
    scratch.reserve(EventText::lineColumns * 2);
    for (int row = firstRow; row <= lastRow; ++row) {
        paintRow(painter, row, scratch);
    }
    const int filledBottom = (lastRow + 1) * lineHeight_;
    if (filledBottom < viewport()->height()) {
        painter.fillRect(
            QRect(0, filledBottom, viewport()->width(), viewport()->height() - filledBottom),
            colours_[kMonitorBackground]);
    }
    if (const auto selection = grid_.selection()) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(cellRect(*selection), Qt::white);
    }
}

} // namespace corvex
