// The growing buffer that captured SysEx is read into: one reserved range of address space
// (25 MiB by default, rounded down to whole pages) whose pages are made usable one at a time
// as data arrives, so a dump of any size up to the limit is never copied. The first page is
// usable from the start; reset() gives every other page back. When the range is full,
// reading stops (what was read so far stays) and full() says so.
// User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace corvex {

inline constexpr size_t kSysExReceiveRange = 26214400; // 0x1900000

class SysExReceiveBuffer {
public:
    explicit SysExReceiveBuffer(size_t rangeBytes = kSysExReceiveRange);
    ~SysExReceiveBuffer();
    SysExReceiveBuffer(const SysExReceiveBuffer&) = delete;
    SysExReceiveBuffer& operator=(const SysExReceiveBuffer&) = delete;

    // False when the range could not be reserved ("Out of memory!" on receiving).
    bool valid() const { return base_ != nullptr; }

    // Reads `announced` bytes with `copy(destination, capacity)` (GetSysExData): pages are
    // made usable until that many bytes fit; when the range is full nothing is read and 0
    // is returned. Otherwise returns what `copy` gave.
    using Copy = std::function<size_t(uint8_t*, size_t)>;
    size_t read(size_t announced, const Copy& copy);

    std::span<const uint8_t> bytes() const { return {base_, used_}; }
    size_t usedBytes() const { return used_; }
    size_t committedPages() const { return committed_; }
    size_t maximumPages() const { return maximumPages_; }
    size_t pageSize() const { return pageSize_; }
    bool full() const { return full_; }
    void reset();

private:
    bool commitPage();

    uint8_t* base_ = nullptr;
    size_t pageSize_ = 0;
    size_t maximumPages_ = 0;
    size_t committed_ = 0;
    size_t used_ = 0;
    bool full_ = false;
};

} // namespace corvex
