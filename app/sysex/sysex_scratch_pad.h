// "Send Scratch Pad": each line of a pane is one short message. Pure: any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvex {

struct SysExShortMessage {
    uint8_t status;  // high nibble of the first byte
    uint8_t channel; // low nibble of the first byte
    uint8_t data1;   // second byte or 0
    uint8_t data2;   // third byte or 0 (further bytes are ignored)
    bool operator==(const SysExShortMessage&) const = default;
};

// The message of one line by the plain hex rule; nothing for an empty or byte-less line.
std::optional<SysExShortMessage> scratchPadMessage(std::string_view line);

// The lines a send covers: from the line holding `selectionStart`; when the selection ends
// more than two characters beyond (start + length of that line), up to the line holding the
// character two before the selection's end. Without a selection, every line of the text.
std::vector<std::string_view> scratchPadLines(std::string_view text, size_t selectionStart,
                                              size_t selectionEnd);

} // namespace corvex
