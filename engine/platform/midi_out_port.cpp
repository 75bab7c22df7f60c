#include "platform/midi_out_port.h"

#include "platform/buffer_header.h"
#include "platform/midi_byte_parser.h"

namespace cvx::platform {

int encodeShortMessage(DWORD message, bool byteStream, uint8_t& lastStatus, uint8_t out[3]) {
    uint8_t first = static_cast<uint8_t>(message);
    uint8_t second = static_cast<uint8_t>(message >> 8);
    uint8_t third = static_cast<uint8_t>(message >> 16);
    if (first >= 0x80) {
        if (first == 0xF0 || first == 0xF7) {
            return 0;
        }
        if (first < 0xF0) {
            lastStatus = first;
        } else if (first < 0xF8) {
            lastStatus = 0;
        }
        int length = 1 + MidiByteParser::dataLength(first);
        out[0] = first;
        out[1] = second;
        out[2] = third;
        return length;
    }
    if (lastStatus == 0) {
        return 0;
    }
    int data = MidiByteParser::dataLength(lastStatus);
    int n = 0;
    if (!byteStream) {
        out[n++] = lastStatus;
    }
    out[n++] = first;
    if (data == 2) {
        out[n++] = second;
    }
    return n;
}

void OutputPort::open(BackendSlot* backend, uint64_t key, bool mapper, LPMIDICALLBACK callback,
                      DWORD_PTR instance, HMIDIOUT* handle) {
    std::unique_lock lock(mutex_);
    uint32_t generation = generation_.load() + 1;
    generation_.store(generation);
    state_ = PortState::Open;
    dead_ = false;
    mapper_ = mapper;
    backendOpen_ = true;
    backend_ = backend;
    key_ = key;
    lastStatus_ = 0;
    callback_ = callback;
    instance_ = instance;
    handle_ = reinterpret_cast<HMIDIOUT>(static_cast<uintptr_t>(encodeHandle(slot_, generation)));
    longInQueue_ = 0;
    *handle = handle_;
}

void OutputPort::announceOpen(uint32_t generation) {
    std::unique_lock lock(mutex_);
    if (valid(generation)) {
        deliver(lock, MOM_OPEN, 0);
    }
}

void OutputPort::deliver(std::unique_lock<std::mutex>& lock, UINT msg, DWORD_PTR p1) {
    LPMIDICALLBACK callback = callback_;
    if (callback == nullptr) {
        return;
    }
    DWORD_PTR instance = instance_;
    auto handle = reinterpret_cast<HMIDIIN>(handle_);
    ++running_;
    lock.unlock();
    {
        CallbackScope scope(this);
        callback(handle, msg, instance, p1, 0);
    }
    lock.lock();
    --running_;
    changed_.notify_all();
}

MMRESULT OutputPort::beginClose(uint32_t generation, bool& closeBackend, BackendSlot*& backend,
                                uint64_t& key) {
    std::unique_lock lock(mutex_);
    if (!valid(generation)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (longInQueue_ > 0) {
        return MIDIERR_STILLPLAYING;
    }
    state_ = PortState::Closing;
    changed_.wait(lock, [&] { return running_ == CallbackScope::depth(this); });
    closeBackend = backendOpen_;
    backendOpen_ = false;
    backend = backend_;
    key = key_;
    lock.unlock();
    // A short send that got past its check before the state changed finishes first.
    std::lock_guard barrier(sendMutex_);
    return MMSYSERR_NOERROR;
}

void OutputPort::finishClose() {
    std::unique_lock lock(mutex_);
    if (!dead_) {
        deliver(lock, MOM_CLOSE, 0);
    }
    callback_ = nullptr;
    state_ = PortState::Free;
    generation_.store(generation_.load() + 1);
}

MMRESULT OutputPort::shortMsg(uint32_t generation, DWORD message) {
    std::lock_guard send(sendMutex_);
    uint8_t bytes[3];
    int length = 0;
    BackendSlot* backend = nullptr;
    uint64_t key = 0;
    {
        std::lock_guard guard(mutex_);
        if (!valid(generation)) {
            return MMSYSERR_INVALHANDLE;
        }
        if (dead_) {
            return MMSYSERR_NODRIVER;
        }
        length = encodeShortMessage(message, backend_->byteStream, lastStatus_, bytes);
        backend = backend_;
        key = key_;
    }
    if (length == 0) {
        return MMSYSERR_INVALPARAM;
    }
    return backend->backend->send(key, bytes, static_cast<size_t>(length));
}

MMRESULT OutputPort::longMsg(uint32_t generation, MIDIHDR* header, UINT size) {
    size_t length = 0;
    {
        std::lock_guard guard(mutex_);
        if (!valid(generation)) {
            return MMSYSERR_INVALHANDLE;
        }
        if (!headerOk(header, size) || header->lpData == nullptr) {
            return MMSYSERR_INVALPARAM;
        }
        if ((header->dwFlags & MHDR_PREPARED) == 0) {
            return MIDIERR_UNPREPARED;
        }
        if ((header->dwFlags & MHDR_INQUEUE) != 0) {
            return MIDIERR_STILLPLAYING;
        }
        if (dead_) {
            return MMSYSERR_NODRIVER;
        }
        DWORD recorded = header->dwBytesRecorded;
        length =
            recorded > 0 && recorded <= header->dwBufferLength ? recorded : header->dwBufferLength;
        header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
        ++longInQueue_;
    }
    MMRESULT result = MMSYSERR_NOERROR;
    {
        std::lock_guard send(sendMutex_);
        BackendSlot* backend = nullptr;
        uint64_t key = 0;
        {
            std::lock_guard guard(mutex_);
            if (dead_ || state_ != PortState::Open) {
                result = MMSYSERR_NODRIVER;
            }
            backend = backend_;
            key = key_;
        }
        if (result == MMSYSERR_NOERROR && length > 0) {
            result = backend->backend->send(key, reinterpret_cast<const uint8_t*>(header->lpData),
                                            length);
        }
    }
    std::unique_lock lock(mutex_);
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    --longInQueue_;
    changed_.notify_all();
    deliver(lock, MOM_DONE, reinterpret_cast<DWORD_PTR>(header));
    return result;
}

MMRESULT OutputPort::prepareHeader(uint32_t generation, MIDIHDR* header, UINT size) {
    std::lock_guard guard(mutex_);
    return valid(generation) ? markPrepared(header, size) : MMSYSERR_INVALHANDLE;
}

MMRESULT OutputPort::unprepareHeader(uint32_t generation, MIDIHDR* header, UINT size) {
    std::lock_guard guard(mutex_);
    return valid(generation) ? markUnprepared(header, size) : MMSYSERR_INVALHANDLE;
}

MMRESULT OutputPort::reset(uint32_t generation) {
    std::unique_lock lock(mutex_);
    if (!valid(generation)) {
        return MMSYSERR_INVALHANDLE;
    }
    // Long messages of this port being sent on other threads come back done first.
    changed_.wait(lock, [&] { return longInQueue_ == 0 || state_ != PortState::Open; });
    return dead_ ? MMSYSERR_NODRIVER : MMSYSERR_NOERROR;
}

MMRESULT OutputPort::device(uint32_t generation, BackendSlot*& backend, uint64_t& key,
                            bool& mapper) {
    std::lock_guard guard(mutex_);
    if (!valid(generation)) {
        return MMSYSERR_INVALHANDLE;
    }
    mapper = mapper_;
    backend = backend_;
    key = key_;
    return dead_ ? MMSYSERR_NODRIVER : MMSYSERR_NOERROR;
}

bool OutputPort::liveDevice(BackendSlot*& backend, uint64_t& key) {
    std::lock_guard guard(mutex_);
    if (state_ != PortState::Open || dead_) {
        return false;
    }
    backend = backend_;
    key = key_;
    return true;
}

bool OutputPort::busy() {
    std::lock_guard guard(mutex_);
    return state_ != PortState::Free;
}

bool OutputPort::markDead() {
    std::lock_guard guard(mutex_);
    if (state_ != PortState::Open || dead_) {
        return false;
    }
    dead_ = true;
    bool wasOpen = backendOpen_;
    backendOpen_ = false;
    changed_.notify_all();
    return wasOpen;
}

bool OutputPort::forceClose() {
    bool wasOpen = markDead();
    std::unique_lock lock(mutex_);
    if (state_ != PortState::Open) {
        return wasOpen;
    }
    state_ = PortState::Closing;
    changed_.wait(lock,
                  [&] { return running_ == CallbackScope::depth(this) && longInQueue_ == 0; });
    lock.unlock();
    { std::lock_guard barrier(sendMutex_); }
    lock.lock();
    callback_ = nullptr;
    state_ = PortState::Free;
    generation_.store(generation_.load() + 1);
    return wasOpen;
}

} // namespace cvx::platform
