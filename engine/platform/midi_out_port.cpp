#include "platform/midi_out_port.h"

#include "midi/message_length.h"
#include "platform/buffer_header.h"

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
        int length = 1 + midi::dataLength(first);
        out[0] = first;
        out[1] = second;
        out[2] = third;
        return length;
    }
    if (lastStatus == 0) {
        return 0;
    }
    int data = midi::dataLength(lastStatus);
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

void MidiOutPort::open(BackendSlot* backend, uint64_t key, bool mapper, LPMIDICALLBACK callback,
                       DWORD_PTR instance, HMIDIOUT* handle) {
    {
        std::lock_guard send(sendMutex_);
        lastStatus_ = 0;
    }
    std::unique_lock lock(mutex_);
    beginHandle(PortState::Open, backend, key, callback, instance);
    mapper_ = mapper;
    backendOpen_ = true;
    longInQueue_ = 0;
    *handle = reinterpret_cast<HMIDIOUT>(handleValue());
    publishSendGate();
}

void MidiOutPort::publishSendGate() {
    uint64_t gate = static_cast<uint64_t>(generation_.load(std::memory_order_relaxed)) << 32;
    if (state_ == PortState::Open) {
        gate |= kGateOpen;
    }
    if (dead_) {
        gate |= kGateDead;
    }
    sendGate_.store(gate, std::memory_order_release);
}

MMRESULT MidiOutPort::beginClose(uint32_t generation, bool& closeBackend, BackendSlot*& backend,
                                 uint64_t& key) {
    std::unique_lock lock(mutex_);
    if (!valid(generation)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (longInQueue_ > 0) {
        return MIDIERR_STILLPLAYING;
    }
    state_ = PortState::Closing;
    publishSendGate();
    waitForCallbacks(lock);
    closeBackend = backendOpen_;
    backendOpen_ = false;
    backend = backend_;
    key = key_;
    lock.unlock();
    // A short send that got past its check before the state changed finishes first.
    std::lock_guard barrier(sendMutex_);
    return MMSYSERR_NOERROR;
}

void MidiOutPort::finishClose() {
    std::unique_lock lock(mutex_);
    if (!dead_) {
        deliver(lock, MOM_CLOSE, 0, 0);
    }
    release();
    publishSendGate();
}

MMRESULT MidiOutPort::shortMsg(uint32_t generation, DWORD message) {
    std::lock_guard send(sendMutex_);
    // backend_ and key_ were written before the gate that opened this generation.
    uint64_t gate = sendGate_.load(std::memory_order_acquire);
    if ((gate >> 32) != generation || (gate & kGateOpen) == 0) {
        return MMSYSERR_INVALHANDLE;
    }
    if ((gate & kGateDead) != 0) {
        return MMSYSERR_NODRIVER;
    }
    uint8_t bytes[3];
    int length = encodeShortMessage(message, backend_->byteStream, lastStatus_, bytes);
    if (length == 0) {
        return MMSYSERR_INVALPARAM;
    }
    return backend_->backend->send(key_, bytes, static_cast<size_t>(length));
}

MMRESULT MidiOutPort::longMsg(uint32_t generation, MIDIHDR* header, UINT size) {
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
    deliver(lock, MOM_DONE, reinterpret_cast<DWORD_PTR>(header), 0);
    return result;
}

MMRESULT MidiOutPort::prepareHeader(uint32_t generation, MIDIHDR* header, UINT size) {
    std::lock_guard guard(mutex_);
    return valid(generation) ? markPrepared(header, size) : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiOutPort::unprepareHeader(uint32_t generation, MIDIHDR* header, UINT size) {
    std::lock_guard guard(mutex_);
    return valid(generation) ? markUnprepared(header, size) : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiOutPort::reset(uint32_t generation) {
    std::unique_lock lock(mutex_);
    if (!valid(generation)) {
        return MMSYSERR_INVALHANDLE;
    }
    // Long messages of this port being sent on other threads come back done first.
    changed_.wait(lock, [&] { return longInQueue_ == 0 || state_ != PortState::Open; });
    return dead_ ? MMSYSERR_NODRIVER : MMSYSERR_NOERROR;
}

MMRESULT MidiOutPort::device(uint32_t generation, BackendSlot*& backend, uint64_t& key,
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

bool MidiOutPort::liveDevice(BackendSlot*& backend, uint64_t& key) {
    std::lock_guard guard(mutex_);
    return liveDeviceLocked(false, backend, key);
}

bool MidiOutPort::markDead() {
    std::lock_guard guard(mutex_);
    if (state_ != PortState::Open || dead_) {
        return false;
    }
    dead_ = true;
    publishSendGate();
    bool wasOpen = backendOpen_;
    backendOpen_ = false;
    changed_.notify_all();
    return wasOpen;
}

bool MidiOutPort::forceClose() {
    bool wasOpen = markDead();
    std::unique_lock lock(mutex_);
    if (state_ != PortState::Open) {
        return wasOpen;
    }
    state_ = PortState::Closing;
    publishSendGate();
    waitForCallbacks(lock, [&] { return longInQueue_ == 0; });
    lock.unlock();
    { std::lock_guard barrier(sendMutex_); }
    lock.lock();
    release();
    publishSendGate();
    return wasOpen;
}

} // namespace cvx::platform
