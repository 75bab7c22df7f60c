// A queue of MIDI records (bytes and a time) over a JACK lock-free ring buffer, for one
// producer thread and one consumer thread. Pushing and reading never allocate or lock, so
// either side may be JACK's process callback.
#pragma once

#include <jack/ringbuffer.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace cvx::platform {

class JackMidiRing {
public:
    // Allocates; never call it from the process callback. The ring holds at least
    // `capacityBytes` bytes of records, each record taking kRecordOverhead more.
    explicit JackMidiRing(size_t capacityBytes);
    ~JackMidiRing();
    JackMidiRing(const JackMidiRing&) = delete;
    JackMidiRing& operator=(const JackMidiRing&) = delete;

    static constexpr size_t kRecordOverhead = 16;

    // Producer: appends one record whole, or nothing when it does not fit (or is empty).
    bool push(uint64_t time, const uint8_t* bytes, size_t length);

    // Consumer: the bytes of the next record not read yet (all of it, or what is left of a
    // record read in part), 0 when no complete record is waiting.
    size_t pendingBytes();
    // Consumer: the time of the record pendingBytes() describes.
    uint64_t pendingTime() const { return time_; }
    // Consumer: reads `count` (at most pendingBytes()) bytes of that record.
    void read(uint8_t* destination, size_t count);

    // Consumer: one whole record into `destination`, which holds capacity() bytes; returns
    // its length, 0 when the ring is empty.
    size_t pop(uint8_t* destination, uint64_t& time);

    // Either side: whether every byte pushed so far has been read.
    bool drained() const { return jack_ringbuffer_read_space(ring_) == 0; }
    // Either side: the records pushed so far and not yet read to their last byte.
    uint64_t recordsWaiting() const {
        return pushed_.load(std::memory_order_acquire) - taken_.load(std::memory_order_acquire);
    }

    // What the ring holds when empty (at least the capacity asked for); more than any
    // record's bytes can be.
    size_t capacity() const { return capacity_; }

private:
    struct Header {
        uint64_t length;
        uint64_t time;
    };
    static_assert(sizeof(Header) == kRecordOverhead);

    jack_ringbuffer_t* ring_;
    size_t capacity_ = 0;
    size_t unread_ = 0; // bytes left of the record being read, once its header is taken
    uint64_t time_ = 0;
    std::atomic<uint64_t> pushed_{0}; // written by the producer only
    std::atomic<uint64_t> taken_{0};  // written by the consumer only
};

} // namespace cvx::platform
