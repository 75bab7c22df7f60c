#include "sysex/sysex_receive_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

namespace corvex {

SysExReceiveBuffer::SysExReceiveBuffer(size_t rangeBytes)
    : pageSize_(static_cast<size_t>(::sysconf(_SC_PAGESIZE))),
      maximumPages_(rangeBytes / pageSize_) {
    if (maximumPages_ == 0) {
        return;
    }
    void* range = ::mmap(nullptr, maximumPages_ * pageSize_, PROT_NONE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (range == MAP_FAILED) {
        return;
    }
    base_ = static_cast<uint8_t*>(range);
    if (!commitPage()) {
        ::munmap(base_, maximumPages_ * pageSize_);
        base_ = nullptr;
    }
}

SysExReceiveBuffer::~SysExReceiveBuffer() {
    if (base_ != nullptr) {
        ::munmap(base_, maximumPages_ * pageSize_);
    }
}

bool SysExReceiveBuffer::commitPage() {
    if (committed_ >= maximumPages_ ||
        ::mprotect(base_ + committed_ * pageSize_, pageSize_, PROT_READ | PROT_WRITE) != 0) {
        return false;
    }
    ++committed_;
    return true;
}

size_t SysExReceiveBuffer::read(size_t announced, const Copy& copy) {
    if (base_ == nullptr) {
        return 0;
    }
    while (committed_ * pageSize_ - used_ < announced) {
        if (!commitPage()) {
            full_ = true;
            return 0;
        }
    }
    size_t got = copy(base_ + used_, committed_ * pageSize_ - used_);
    used_ += got;
    return got;
}

void SysExReceiveBuffer::reset() {
    if (base_ == nullptr) {
        return;
    }
    if (committed_ > 1) {
        uint8_t* rest = base_ + pageSize_;
        size_t length = (committed_ - 1) * pageSize_;
        ::madvise(rest, length, MADV_DONTNEED);
        ::mprotect(rest, length, PROT_NONE);
    }
    committed_ = 1;
    used_ = 0;
    full_ = false;
}

} // namespace corvex
