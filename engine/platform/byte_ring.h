// A fixed ring of bytes, allocated once (outside real-time paths), never resized. Not
// thread-safe: its owner locks around it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace cvx::platform {

class ByteRing {
public:
    ByteRing() = default;
    ByteRing(const ByteRing&) = delete;
    ByteRing& operator=(const ByteRing&) = delete;

    // Allocates `capacity` bytes (rounded up to a power of two); empties the ring. Pages are
    // not touched here, so a large ring that is never filled costs no memory.
    void allocate(size_t capacity) {
        size_t size = 1;
        while (size < capacity) {
            size <<= 1;
        }
        data_.reset(new uint8_t[size]);
        mask_ = size - 1;
        head_ = tail_ = 0;
    }
    bool allocated() const { return data_ != nullptr; }
    size_t capacity() const { return data_ ? mask_ + 1 : 0; }
    size_t size() const { return static_cast<size_t>(head_ - tail_); }
    size_t space() const { return capacity() - size(); }
    void clear() { tail_ = head_; }

    // Appends all of `bytes`; the caller checked space().
    void write(const void* bytes, size_t length) {
        const auto* src = static_cast<const uint8_t*>(bytes);
        size_t at = static_cast<size_t>(head_) & mask_;
        size_t first = length < capacity() - at ? length : capacity() - at;
        std::memcpy(data_.get() + at, src, first);
        std::memcpy(data_.get(), src + first, length - first);
        head_ += length;
    }
    // Appends, dropping the oldest bytes when the ring is full (only the newest
    // capacity() bytes of a longer block are kept).
    void writeOverwriting(const void* bytes, size_t length) {
        const auto* src = static_cast<const uint8_t*>(bytes);
        if (length > capacity()) {
            src += length - capacity();
            length = capacity();
        }
        if (length > space()) {
            tail_ += length - space();
        }
        write(src, length);
    }
    // Copies up to `length` of the oldest bytes out (removing them); returns the count.
    size_t read(void* out, size_t length) {
        size_t n = peek(out, length);
        tail_ += n;
        return n;
    }
    size_t peek(void* out, size_t length) const {
        auto* dst = static_cast<uint8_t*>(out);
        size_t n = length < size() ? length : size();
        size_t at = static_cast<size_t>(tail_) & mask_;
        size_t first = n < capacity() - at ? n : capacity() - at;
        std::memcpy(dst, data_.get() + at, first);
        std::memcpy(dst + first, data_.get(), n - first);
        return n;
    }
    void drop(size_t length) { tail_ += length < size() ? length : size(); }

private:
    std::unique_ptr<uint8_t[]> data_;
    size_t mask_ = 0;
    uint64_t head_ = 0;
    uint64_t tail_ = 0;
};

} // namespace cvx::platform
