// What a monitor window shows, without the window: the ring of its newest lines, the number
// style, draining the engine queue (or discarding while the display is stopped), text lines,
// and the clipboard texts (Copy All, a selected rectangle of the character grid).
// Threads: the user-interface thread only.
#pragma once

#include "views/event_text.h"
#include "views/monitor_feed.h"
#include "views/monitor_grid.h"
#include "views/monitor_ring.h"

#include <functional>
#include <string>
#include <string_view>

namespace corvex {

class MonitorModel {
public:
    // Told about each line as it is stored (the log and the status view follow the monitor).
    using LineObserver = std::function<void(const MonitorLine&)>;

    // Columns of each line that Copy All keeps.
    static constexpr size_t copyAllColumns = 80;

    // `text` formats the lines; it must outlive the model.
    explicit MonitorModel(const EventText& text, NumberStyle style = NumberStyle::Hex);

    NumberStyle numberStyle() const { return style_; }
    void setNumberStyle(NumberStyle style) { style_ = style; }

    // While the display is stopped, drained events are fetched and discarded.
    bool displayRunning() const { return displayRunning_; }
    void setDisplayRunning(bool on) { displayRunning_ = on; }

    void setLineObserver(LineObserver observer) { observer_ = std::move(observer); }

    // Fetches every queued event from `feed`; each becomes a line (a SysEx piece event a
    // SysEx bytes line). Returns the number of lines added.
    size_t drain(MonitorFeed& feed);
    // Appends a text line (control characters and invalid bytes become '?').
    void appendText(std::string_view text);
    void clear() { ring_.clear(); }

    const MonitorRing& lines() const { return ring_; }
    size_t lineCount() const { return ring_.size(); }
    // Line `index` (0 = oldest) as shown, into `out`.
    void lineText(size_t index, std::string& out) const;
    std::string lineText(size_t index) const;

    // The header and every line, each cut to copyAllColumns columns and ended with "\n".
    std::string copyAllText() const;
    // The grid's selection: for each selected row, the selected columns as far as the row's
    // text reaches, then "\n". Grid row 0 is the header, row r the line at top + r - 1.
    std::string selectionText(const MonitorGrid& grid) const;

private:
    void store(MonitorLine line);

    const EventText& text_;
    NumberStyle style_;
    bool displayRunning_ = true;
    MonitorRing ring_;
    LineObserver observer_;
};

} // namespace corvex
