#include "views/monitor_model.h"

#include "views/text_columns.h"

namespace corvex {

namespace {

bool isSysExPiece(const EVENT& event) {
    return event.message >> 24 == CVX_ORIGIN_CHUNK && (event.message & 0xFF) == 0;
}

void appendColumns(std::string& out, std::string_view text, size_t first, size_t count) {
    out += columnSpan(text, first, count);
    out += '\n';
}

} // namespace

MonitorModel::MonitorModel(const EventText& text, NumberStyle style) : text_(text), style_(style) {}

size_t MonitorModel::drain(MonitorFeed& feed) {
    size_t added = 0;
    EVENT event;
    while (feed.nextEvent(event)) {
        if (!displayRunning_) {
            continue;
        }
        if (isSysExPiece(event)) {
            const size_t count = (event.message >> 8) & 0xFFFF;
            store(feed.sysexPiece(static_cast<uint16_t>(event.timestamp), count));
        } else {
            store(event);
        }
        ++added;
    }
    return added;
}

void MonitorModel::appendText(std::string_view text) {
    store(TextLine{printableText(text)});
}

void MonitorModel::store(MonitorLine line) {
    ring_.push(std::move(line));
    if (observer_) {
        observer_(ring_[ring_.size() - 1]);
    }
}

void MonitorModel::lineText(size_t index, std::string& out) const {
    formatMonitorLine(text_, ring_[index], style_, out);
}

std::string MonitorModel::lineText(size_t index) const {
    std::string out;
    lineText(index, out);
    return out;
}

std::string MonitorModel::copyAllText() const {
    std::string out;
    out.reserve((ring_.size() + 1) * (EventText::lineColumns + 1));
    appendColumns(out, EventText::header, 0, copyAllColumns);
    std::string line;
    for (size_t i = 0; i < ring_.size(); ++i) {
        lineText(i, line);
        appendColumns(out, line, 0, copyAllColumns);
    }
    return out;
}

std::string MonitorModel::selectionText(const MonitorGrid& grid) const {
    const auto selection = grid.selection();
    if (!selection) {
        return {};
    }
    const size_t first = static_cast<size_t>(grid.leftColumn() + selection->left);
    const size_t count = static_cast<size_t>(selection->right - selection->left + 1);
    std::string out;
    std::string line;
    for (int row = selection->top; row <= selection->bottom; ++row) {
        if (row == 0) {
            appendColumns(out, EventText::header, first, count);
            continue;
        }
        const size_t index = static_cast<size_t>(grid.topLine() + row - 1);
        if (index < ring_.size()) {
            lineText(index, line);
            appendColumns(out, line, first, count);
        } else {
            out += '\n';
        }
    }
    return out;
}

} // namespace corvex
