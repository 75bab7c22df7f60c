// The monitor's text for one MIDI event: fixed-width lines of 70 columns (timestamp, IN and
// PORT labels, status, data 1, data 2, channel, note, event name), in hexadecimal or decimal,
// plus the two extra line kinds of the monitor buffer (text and SysEx bytes).
//
// Text is UTF-8; a column is one code point. Port and patch names are cleaned when they are
// set (invalid bytes and control characters become '?'), cut to their column (3 for port
// labels, 21 for the event name) and padded, so every event line is exactly 70 columns.
//
// Threads: an EventText is not synchronised. Formatting (the const members) may run on any
// number of threads at once while no setter runs; the program keeps its one formatter on the
// user-interface thread.
#pragma once

#include "cvx_records.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvex {

enum class NumberStyle { Hex, Decimal };

class EventText {
public:
    // Columns of every event line.
    static constexpr size_t lineColumns = 70;
    // The column titles that go above the event lines.
    static constexpr std::string_view header =
        " TIMESTAMP IN PORT STATUS DATA1 DATA2 CHAN NOTE EVENT               ";
    // Bytes a SysEx bytes line holds at most (one display piece of the engine).
    static constexpr size_t sysexPieceBytes = 18;

    // Default port labels, middle C 4, abbreviations off, patch names off, General MIDI
    // program names on all channels.
    EventText();

    // The event's line, without a line terminator. Allocates only the returned string.
    std::string line(const EVENT& event, NumberStyle style) const;
    // The same into `out`, reusing its capacity: no allocation once `out` has held a line.
    void line(const EVENT& event, NumberStyle style, std::string& out) const;

    // " " + text.
    static std::string textLine(std::string_view text);
    // " SYSX:" (two spaces before it in decimal), then each byte as " %02X" or " %d".
    static std::string sysexLine(const uint8_t* bytes, size_t count, NumberStyle style);

    // Octave numbering: note k prints octave (setting - 5) + k / 12. 1..7, clamped.
    void setMiddleC(int setting);
    int middleC() const;

    // Names of the input and output ports by index, used while abbreviation is on: the IN
    // label of port i and the PORT label of output i become the first three columns of the
    // name. Ports past the generated-event port (index 135) are ignored.
    void setPortNames(const std::vector<std::string>& inputs,
                      const std::vector<std::string>& outputs);
    void setAbbreviatePortNames(bool on);

    // Program changes read "PC: <patch name>" ("PC: Drums" on channel 10) instead of
    // "Program Change".
    void setShowPatchNames(bool on);
    // channel 0..15, program 0..127; out of range is ignored.
    void setPatchName(int channel, int program, std::string_view name);

private:
    struct Label {
        std::array<char, 12> bytes{}; // up to 3 UTF-8 code points, padded to 3 columns
        uint8_t size = 0;
        std::string_view text() const { return {bytes.data(), size}; }
    };
    static constexpr size_t labelCount = 142;
    using LabelTable = std::array<Label, labelCount>;

    static Label makeLabel(std::string_view text);
    void rebuildLabels();
    static void setLabels(LabelTable& table, const std::vector<std::string>& names);
    std::string_view inputLabel(const EVENT& event) const;
    std::string_view outputLabel(const EVENT& event) const;
    std::string_view patchName(unsigned channel, unsigned program) const;
    size_t format(const EVENT& event, NumberStyle style, char* out) const;

    int middleC_ = 4;
    bool abbreviate_ = false;
    bool showPatchNames_ = false;
    std::vector<std::string> inputNames_;
    std::vector<std::string> outputNames_;
    LabelTable inputLabels_;
    LabelTable outputLabels_;
    std::unordered_map<unsigned, std::string> customPatchNames_; // key channel * 128 + program
};

} // namespace corvex
