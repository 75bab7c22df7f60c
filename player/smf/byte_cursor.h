// Bounded reading of big-endian numbers and variable-length quantities from a byte span.
// Every read checks the bounds first: a cursor never reads outside its span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace corvex::smf {

class ByteCursor {
public:
    explicit ByteCursor(std::span<const uint8_t> bytes, size_t position = 0)
        : bytes_(bytes), position_(position) {}

    size_t position() const { return position_; }
    void seek(size_t position) { position_ = position; }
    size_t remaining() const { return position_ < bytes_.size() ? bytes_.size() - position_ : 0; }
    bool atEnd() const { return remaining() == 0; }

    std::optional<uint8_t> peek() const;
    std::optional<uint8_t> byte();
    std::optional<uint16_t> be16();
    std::optional<uint32_t> be32();

    enum class VarLen { Ok, Truncated, TooLong };
    // A variable-length quantity of at most 4 bytes (at most 0x0FFFFFFF).
    VarLen varLen(uint32_t& value);

    // Moves past `count` bytes; false (and no move) when fewer remain.
    bool skip(size_t count);

private:
    std::span<const uint8_t> bytes_;
    size_t position_;
};

} // namespace corvex::smf
