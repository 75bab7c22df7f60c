#include "views/event_text.h"

#include "views/event_names.h"
#include "views/text_columns.h"

#include <algorithm>
#include <cstring>

namespace corvex {

namespace {

constexpr size_t nameColumns = 21;
constexpr size_t labelColumns = 3;
// An event line in bytes: 70 columns, of which the two labels and the name may hold UTF-8
// sequences of up to 4 bytes per column.
constexpr size_t maxLineBytes = EventText::lineColumns + 3 * 2 * labelColumns + 3 * nameColumns;

constexpr unsigned generatedLabel = 136;
constexpr unsigned keyboardLabel = 137;
constexpr unsigned luaLabel = 138;
constexpr unsigned automationLabel = 139;
constexpr unsigned lastLabel = 141;
constexpr unsigned lastNamedPort = CVX_GENERATED_PORT;
constexpr unsigned drumChannel = 9;

// Appends fields to a line buffer that is large enough for any event line.
class LineWriter {
public:
    explicit LineWriter(char* out) : begin_(out), at_(out) {}

    size_t size() const { return static_cast<size_t>(at_ - begin_); }

    void text(std::string_view s) {
        if (!s.empty()) {
            std::memcpy(at_, s.data(), s.size());
            at_ += s.size();
        }
    }
    void spaces(size_t n) {
        std::memset(at_, ' ', n);
        at_ += n;
    }
    void hex(uint32_t value, int digits) {
        static constexpr char digitChars[] = "0123456789ABCDEF";
        for (int i = digits - 1; i >= 0; --i) {
            at_[i] = digitChars[value & 0xF];
            value >>= 4;
        }
        at_ += digits;
    }
    // Right-aligned in `width` places, as printf's "%<width>d" would print it.
    void decimal(int64_t value, int width) {
        char digits[24];
        int count = 0;
        const bool negative = value < 0;
        uint64_t magnitude =
            negative ? static_cast<uint64_t>(-value) : static_cast<uint64_t>(value);
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (negative) {
            digits[count++] = '-';
        }
        spaces(static_cast<size_t>(std::max(0, width - count)));
        while (count > 0) {
            *at_++ = digits[--count];
        }
    }
    // prefix + name, left-aligned in `columns` columns, cut to them.
    void field(std::string_view prefix, std::string_view name, size_t columns) {
        const size_t prefixColumns = std::min(prefix.size(), columns);
        text(prefix.substr(0, prefixColumns));
        const std::string_view cut = columnSpan(name, 0, columns - prefixColumns);
        text(cut);
        spaces(columns - prefixColumns - columnCount(cut));
    }

private:
    char* begin_;
    char* at_;
};

// Which of status, data 1 and data 2 a layout shows (the rest print as dashes).
enum class Bytes { Status, StatusData1, All };

struct Layout {
    Bytes bytes;
    bool channel;
    bool note;
    bool buffer; // "Buffer: n Bytes" instead of data 1, data 2, channel and note
    bool bufferStatus;
};

Layout layoutFor(unsigned status) {
    if (status < 0x80) {
        return {Bytes::All, false, false, false, false};
    }
    switch (status >> 4) {
    case 0x8:
    case 0x9:
    case 0xA:
        return {Bytes::All, true, true, false, false};
    case 0xB:
    case 0xE:
        return {Bytes::All, true, false, false, false};
    case 0xC:
    case 0xD:
        return {Bytes::StatusData1, true, false, false, false};
    default:
        break;
    }
    switch (status) {
    case 0xF0:
    case 0xF7:
        return {Bytes::Status, false, false, true, true};
    case 0xF5:
        return {Bytes::Status, false, false, true, false};
    case 0xF2:
        return {Bytes::All, false, false, false, false};
    case 0xF1:
    case 0xF3:
        return {Bytes::StatusData1, false, false, false, false};
    default:
        return {Bytes::Status, false, false, false, false};
    }
}

void writeByte(LineWriter& w, NumberStyle style, unsigned value, bool shown) {
    if (style == NumberStyle::Hex) {
        w.spaces(4);
        shown ? w.hex(value, 2) : w.text("--");
    } else {
        w.spaces(3);
        shown ? w.decimal(value, 3) : w.text("---");
    }
}

std::string defaultLabel(unsigned index) {
    switch (index) {
    case 0:
        return "-- ";
    case generatedLabel:
        return "CVX";
    case keyboardLabel:
        return "KEY";
    case luaLabel:
        return "LUA";
    case automationLabel:
        return "COM";
    case 140:
        return "XXX";
    case lastLabel:
        return "";
    default:
        break;
    }
    std::string number = std::to_string(index);
    return index < 10 ? " " + number + " " : index < 100 ? number + " " : number;
}

} // namespace

EventText::EventText() {
    rebuildLabels();
}

EventText::Label EventText::makeLabel(std::string_view text) {
    Label label;
    const std::string_view cut = columnSpan(text, 0, labelColumns);
    const size_t padding = labelColumns - columnCount(cut);
    std::memset(label.bytes.data(), ' ', padding);
    if (!cut.empty()) {
        std::memcpy(label.bytes.data() + padding, cut.data(), cut.size());
    }
    label.size = static_cast<uint8_t>(padding + cut.size());
    return label;
}

std::string EventText::line(const EVENT& event, NumberStyle style) const {
    char buffer[maxLineBytes];
    return std::string(buffer, format(event, style, buffer));
}

void EventText::line(const EVENT& event, NumberStyle style, std::string& out) const {
    char buffer[maxLineBytes];
    out.assign(buffer, format(event, style, buffer));
}

std::string EventText::textLine(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 1);
    result += ' ';
    result += text;
    return result;
}

std::string EventText::sysexLine(const uint8_t* bytes, size_t count, NumberStyle style) {
    std::string result(style == NumberStyle::Hex ? " SYSX:" : "  SYSX:");
    result.reserve(result.size() + count * 4);
    char buffer[8];
    for (size_t i = 0; i < count; ++i) {
        LineWriter w(buffer);
        w.text(" ");
        style == NumberStyle::Hex ? w.hex(bytes[i], 2) : w.decimal(bytes[i], 0);
        result.append(buffer, w.size());
    }
    return result;
}

void EventText::setMiddleC(int setting) {
    middleC_ = std::clamp(setting, 1, 7);
}

int EventText::middleC() const {
    return middleC_;
}

void EventText::setPortNames(const std::vector<std::string>& inputs,
                             const std::vector<std::string>& outputs) {
    inputNames_ = inputs;
    outputNames_ = outputs;
    rebuildLabels();
}

void EventText::setAbbreviatePortNames(bool on) {
    abbreviate_ = on;
    rebuildLabels();
}

void EventText::setShowPatchNames(bool on) {
    showPatchNames_ = on;
}

void EventText::setPatchName(int channel, int program, std::string_view name) {
    if (channel < 0 || channel > 15 || program < 0 || program > 127) {
        return;
    }
    customPatchNames_[static_cast<unsigned>(channel * 128 + program)] = printableText(name);
}

void EventText::rebuildLabels() {
    for (unsigned i = 0; i < labelCount; ++i) {
        inputLabels_[i] = outputLabels_[i] = makeLabel(defaultLabel(i));
    }
    if (abbreviate_) {
        setLabels(inputLabels_, inputNames_);
        setLabels(outputLabels_, outputNames_);
    }
}

// Port i's label sits at index i + 1 (index 0 means "no port").
void EventText::setLabels(LabelTable& table, const std::vector<std::string>& names) {
    const size_t count = std::min<size_t>(names.size(), lastNamedPort + 1);
    for (size_t i = 0; i < count; ++i) {
        table[i + 1] = makeLabel(printableText(names[i]));
    }
}

std::string_view EventText::inputLabel(const EVENT& event) const {
    switch (event.message >> 24) {
    case CVX_ORIGIN_PANEL:
        return inputLabels_[generatedLabel].text();
    case CVX_ORIGIN_KEYBOARD:
        return inputLabels_[keyboardLabel].text();
    case CVX_ORIGIN_LUA:
        return inputLabels_[luaLabel].text();
    case CVX_ORIGIN_AUTOMATION:
        return inputLabels_[automationLabel].text();
    default:
        return inputLabels_[std::min(event.port + 1u, lastLabel)].text();
    }
}

std::string_view EventText::outputLabel(const EVENT& event) const {
    return outputLabels_[std::min<unsigned>(event.outPort, lastLabel)].text();
}

std::string_view EventText::patchName(unsigned channel, unsigned program) const {
    if (channel == drumChannel) {
        return event_names::drums;
    }
    if (!customPatchNames_.empty()) {
        const auto custom = customPatchNames_.find(channel * 128 + program);
        if (custom != customPatchNames_.end()) {
            return custom->second;
        }
    }
    return event_names::generalMidiPrograms[program];
}

size_t EventText::format(const EVENT& event, NumberStyle style, char* out) const {
    const unsigned status = event.message & 0xFF;
    const unsigned data1 = (event.message >> 8) & 0xFF;
    const unsigned data2 = (event.message >> 16) & 0xFF;
    const unsigned channel = status & 0x0F;
    const auto timestamp = static_cast<uint32_t>(event.timestamp);
    const Layout layout = layoutFor(status);
    const bool hex = style == NumberStyle::Hex;

    LineWriter w(out);
    if (hex) {
        w.spaces(1);
        w.hex(timestamp, 8);
        w.spaces(2);
    } else {
        w.decimal(timestamp, 10);
        w.spaces(1);
    }
    w.text(inputLabel(event));
    w.spaces(1);
    w.text(outputLabel(event));

    if (layout.buffer) {
        writeByte(w, style, status, layout.bufferStatus);
        w.text(hex ? "  Buffer: " : " Buffer: ");
        w.decimal(data1 + 256 * data2, 5);
        w.text(hex ? " Bytes   " : " Bytes    ");
    } else {
        writeByte(w, style, status, true);
        writeByte(w, style, data1, layout.bytes != Bytes::Status);
        writeByte(w, style, data2, layout.bytes == Bytes::All);
        w.spaces(3);
        layout.channel ? w.decimal(channel + 1, 2) : w.text("--");
        w.spaces(2);
        if (layout.note) {
            w.text(event_names::notes[data1 % 12]);
            w.decimal(middleC_ - 5 + static_cast<int>(data1 / 12), 2);
            w.spaces(1);
        } else {
            w.text("---  ");
        }
    }

    if (status < 0x80) {
        w.field({}, event_names::unknownEvent, nameColumns);
    } else if (status >= 0xF0) {
        w.field({}, event_names::systemMessages[status & 0x0F], nameColumns);
    } else if (status >> 4 == 0xB) {
        w.field({}, event_names::controller(data1), nameColumns);
    } else if (status >> 4 == 0xC && showPatchNames_ && data1 < 128) {
        w.field("PC: ", patchName(channel, data1), nameColumns);
    } else if (status >> 4 == 0x9 && data2 == 0) {
        w.field({}, event_names::channelMessages[0], nameColumns);
    } else {
        w.field({}, event_names::channelMessages[(status >> 4) - 8], nameColumns);
    }
    w.spaces(1);
    return w.size();
}

} // namespace corvex
