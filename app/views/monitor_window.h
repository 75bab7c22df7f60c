// A monitor window: the main monitor ("Monitor - Output", the engine client's window, main
// queue) or the input monitor ("Monitor - Input", raw input queue). It owns an engine message
// target, drains its queue on WM_CVX_EVENTS, keeps the newest 3000 lines and paints the
// visible ones on a fixed-pitch character grid under a header row, coloured from the colour
// scheme. Users scroll with keys, wheel and scroll bars, mark a rectangle of characters with
// mouse and keys, copy it or all lines, and clear the window.
//
// A plain widget: the frame puts it into a QMdiSubWindow. The frame sends it the window
// messages and commands through handleMessage() and runCommand().
//
// Threads: the user-interface thread only. The engine posts to hwnd() from its own threads;
// the message target brings those posts to this thread.
#pragma once

#include "colour_table.h"
#include "cvx_platform.h"
#include "settings_profile.h"
#include "views/event_text.h"
#include "views/monitor_grid.h"
#include "views/monitor_model.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>

#include <array>
#include <functional>
#include <memory>
#include <string_view>

class QTimer;

namespace corvex {

class EngineMonitorFeed;
class MessageTarget;

enum class MonitorKind { Main, Input };

class MonitorWindow : public QAbstractScrollArea {
    Q_OBJECT

public:
    using PatchChangeHandler = std::function<void(uintptr_t wParam, intptr_t lParam)>;

    static constexpr const char* mainTitle = "Monitor - Output";
    static constexpr const char* inputTitle = "Monitor - Input";
    static constexpr const char* attachFailedMessage =
        "Attach to 16bit callback for raw input failed.";
    static constexpr const char* fontErrorMessage = "Error Creating the Font!";

    // `text` formats the lines and must outlive the window.
    MonitorWindow(MonitorKind kind, const EventText& text, QWidget* parent = nullptr);
    // The input monitor detaches from the raw input queue.
    ~MonitorWindow() override;

    MonitorKind kind() const { return kind_; }
    // The engine message target: the main monitor's goes to CreateClient.
    HWND hwnd() const;
    // Starts reading the client's queue. The input monitor attaches to the raw input queue;
    // false when that fails (the caller shows attachFailedMessage and drops the window).
    bool attach(uint64_t client);

    const MonitorModel& model() const { return model_; }
    MonitorModel& model() { return model_; }
    const MonitorGrid& grid() const { return grid_; }

    // Starts with the screen's default set.
    void setColours(const ColourScheme& colours);
    void setChannelColours(bool on);
    void setHex(bool hex);
    bool hex() const { return model_.numberStyle() == NumberStyle::Hex; }
    void setDisplayRunning(bool on) { model_.setDisplayRunning(on); }
    // The window starts with the default font; its owner applies the stored one. A face that
    // is missing or not fixed-pitch is replaced by the system's fixed-width font at the same
    // size. False (nothing changed) when no fixed-pitch font results. The font dialog only
    // tells its choice (fontChosen); the owner keeps it with the settings.
    bool setMonitorFont(const MonitorFont& font);
    const QFont& textFont() const { return font_; }
    // Receives the engine's patch-map notification (WM_CVX_PATCH_CHANGE).
    void setPatchChangeHandler(PatchChangeHandler handler) { patchChange_ = std::move(handler); }

    void appendText(std::string_view text);
    // Fetches everything queued for this monitor now. New lines are painted with the next
    // frame (at most one repaint per frameIntervalMs), and while events keep coming the
    // queue is drained again after followUpDrainMs without waiting for the engine's
    // (throttled) notification, so a queue never fills between two notifications.
    void drain();
    static constexpr int frameIntervalMs = 16;
    static constexpr int followUpDrainMs = 5;

    // The window messages: WM_CVX_EVENTS, the monitor-text message, WM_CVX_SYSEXDATA,
    // WM_CVX_PATCH_CHANGE, the ask-monitor message and WM_COMMAND. Returns the reply.
    intptr_t handleMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam);
    // Runs a command id the frame sends a monitor; false when the id is not one of them.
    bool runCommand(int id, intptr_t argument = 0);

    // Pixel size of one character cell.
    QSize cellSize() const { return {charWidth_, lineHeight_}; }

signals:
    // Lines were added by a drain (the frame animates the tray, the status view updates).
    void linesAdded(size_t count);
    // The number style changed from the window's own context menu.
    void hexChanged(bool hex);
    // The font dialog applied a new font (the owner keeps it and gives it to the other monitor).
    void fontChosen(const corvex::MonitorFont& font);
    // The input monitor is closing.
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void onMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam);
    void relayout();
    void syncScrollBars();
    void copyToClipboard(const std::string& text);
    void chooseFont();
    QPoint cellAt(QPoint position) const;
    QRect cellRect(const CellRect& cells) const;
    void paintRow(QPainter& painter, int row, std::string& scratch) const;

    MonitorKind kind_;
    MonitorModel model_;
    MonitorGrid grid_;
    std::unique_ptr<MessageTarget> target_;
    std::unique_ptr<EngineMonitorFeed> feed_;
    uint64_t client_ = 0;
    std::array<QColor, kColourCount> colours_;
    bool channelColours_ = false;
    QFont font_;
    int charWidth_ = 8;
    int lineHeight_ = 14;
    int ascent_ = 11;
    bool syncingScrollBars_ = false;
    QTimer* frameTimer_ = nullptr;
    QTimer* followUpDrain_ = nullptr;
    PatchChangeHandler patchChange_;
};

} // namespace corvex
