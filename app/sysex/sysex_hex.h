// The text forms of SysEx bytes and the one parser that turns hex text back into bytes.
// Pure functions: any thread.
//
// Plain hex: every byte as two upper-case digits and one space ("F0 7E F7 "), no line breaks.
// Formatted hex: 16 bytes a line of exactly 75 characters, "%06.6X  %-48s %-16s\r\n" (offset,
// hex field, printable characters with "." for the others); a partial last line keeps the
// full width.
#pragma once

#include "sysex/sysex_kind.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvex {

inline constexpr size_t kFormattedHexLineLength = 75;
inline constexpr size_t kFormattedHexBytesPerLine = 16;

std::string toPlainHex(std::span<const uint8_t> bytes);
std::string toFormattedHex(std::span<const uint8_t> bytes);

// The hex-text rule: characters that are not hex digits are skipped; a hex digit takes the
// next character with it and the pair is one byte when both are digits, else both are
// dropped (a single digit is never a byte; a digit that is the last character is dropped).
// Text of fewer than 2 characters, or text without a byte, gives nothing (the conversion
// failed): the result is empty exactly when the conversion failed.
std::vector<uint8_t> parsePlainHex(std::string_view text);

// Formatted hex back to bytes: the length must be a multiple of 75 and at least 75; the hex
// fields of the lines up to the first line whose last character is not LF are read by the
// plain rule. Empty when the conversion failed.
std::vector<uint8_t> parseFormattedHex(std::string_view text);

// The bytes of a pane: a non-empty selection is read by the plain rule whatever the pane
// shows; otherwise the whole text by the rule of its text kind.
std::vector<uint8_t> paneBytes(std::string_view text, SysExKind textKind,
                               std::string_view selection = {});

// Bytes in the text form `textKind` (PlainHex or FormattedHex; Text shows them as plain hex).
std::string bytesAsText(std::span<const uint8_t> bytes, SysExKind textKind);

} // namespace corvex
