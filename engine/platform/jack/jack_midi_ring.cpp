#include "jack_midi_ring.h"

#include <new>

namespace cvx::platform {

JackMidiRing::JackMidiRing(size_t capacityBytes)
    : ring_(jack_ringbuffer_create(capacityBytes + 1)) {
    if (ring_ == nullptr) {
        throw std::bad_alloc();
    }
    capacity_ = jack_ringbuffer_write_space(ring_);
    jack_ringbuffer_mlock(ring_);
}

JackMidiRing::~JackMidiRing() {
    jack_ringbuffer_free(ring_);
}

bool JackMidiRing::push(uint64_t time, const uint8_t* bytes, size_t length) {
    if (length == 0 || jack_ringbuffer_write_space(ring_) < sizeof(Header) + length) {
        return false;
    }
    // The consumer takes a record only once all of it is in, so two writes are safe.
    const Header header{length, time};
    jack_ringbuffer_write(ring_, reinterpret_cast<const char*>(&header), sizeof header);
    jack_ringbuffer_write(ring_, reinterpret_cast<const char*>(bytes), length);
    pushed_.fetch_add(1, std::memory_order_release);
    return true;
}

size_t JackMidiRing::pendingBytes() {
    if (unread_ > 0) {
        return unread_;
    }
    Header header{};
    if (jack_ringbuffer_peek(ring_, reinterpret_cast<char*>(&header), sizeof header) <
            sizeof header ||
        jack_ringbuffer_read_space(ring_) < sizeof header + header.length) {
        return 0;
    }
    jack_ringbuffer_read_advance(ring_, sizeof header);
    unread_ = header.length;
    time_ = header.time;
    return unread_;
}

void JackMidiRing::read(uint8_t* destination, size_t count) {
    const size_t taken = jack_ringbuffer_read(ring_, reinterpret_cast<char*>(destination), count);
    const bool wasWhole = unread_ > 0 && taken == unread_;
    unread_ -= taken;
    if (wasWhole) {
        taken_.fetch_add(1, std::memory_order_release);
    }
}

size_t JackMidiRing::pop(uint8_t* destination, uint64_t& time) {
    const size_t length = pendingBytes();
    time = time_;
    read(destination, length);
    return length;
}

} // namespace cvx::platform
