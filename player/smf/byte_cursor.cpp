#include "smf/byte_cursor.h"

namespace corvex::smf {

std::optional<uint8_t> ByteCursor::peek() const {
    if (atEnd()) {
        return std::nullopt;
    }
    return bytes_[position_];
}

std::optional<uint8_t> ByteCursor::byte() {
    auto value = peek();
    if (value) {
        ++position_;
    }
    return value;
}

std::optional<uint16_t> ByteCursor::be16() {
    if (remaining() < 2) {
        return std::nullopt;
    }
    uint16_t value = static_cast<uint16_t>(bytes_[position_] << 8 | bytes_[position_ + 1]);
    position_ += 2;
    return value;
}

std::optional<uint32_t> ByteCursor::be32() {
    if (remaining() < 4) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value = value << 8 | bytes_[position_ + i];
    }
    position_ += 4;
    return value;
}

ByteCursor::VarLen ByteCursor::varLen(uint32_t& value) {
    value = 0;
    size_t start = position_;
    for (int i = 0; i < 4; ++i) {
        auto next = byte();
        if (!next) {
            position_ = start;
            return VarLen::Truncated;
        }
        value = value << 7 | (*next & 0x7Fu);
        if ((*next & 0x80u) == 0) {
            return VarLen::Ok;
        }
    }
    position_ = start;
    return VarLen::TooLong;
}

bool ByteCursor::skip(size_t count) {
    if (remaining() < count) {
        return false;
    }
    position_ += count;
    return true;
}

} // namespace corvex::smf
