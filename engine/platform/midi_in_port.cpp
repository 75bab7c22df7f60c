#include "platform/midi_in_port.h"

#include "platform/buffer_header.h"
#include "platform/service_clock.h"

#include <new>

namespace cvx::platform {

namespace {

struct RecordHeader {
    uint32_t time;
    uint32_t length;
};

} // namespace

// ---- queueing (any thread) --------------------------------------------------------------

void MidiInPort::receive(const uint8_t* bytes, size_t length, uint32_t arrivalMs) {
    push(bytes, length, arrivalMs, false);
}

void MidiInPort::feed(const uint8_t* bytes, size_t length, uint32_t arrivalMs, bool mayWait) {
    push(bytes, length, arrivalMs, mayWait);
}

void MidiInPort::push(const uint8_t* bytes, size_t length, uint32_t arrivalMs, bool mayWait) {
    bool queued = false;
    {
        std::unique_lock lock(ringMutex_);
        while (length > 0 && accepting_) {
            uint32_t chunk = length < kMaxRecord ? static_cast<uint32_t>(length) : kMaxRecord;
            size_t need = sizeof(RecordHeader) + chunk;
            if (ring_.space() < need) {
                if (!mayWait) {
                    countOverrun(1);
                    break; // the rest is lost, as on an overrun port
                }
                if (queued) {
                    hasData_.store(true, std::memory_order_release);
                    lock.unlock();
                    host_->inputQueued();
                    lock.lock();
                    queued = false;
                    continue; // the input thread may have made room meanwhile
                }
                space_.wait(lock);
                continue;
            }
            RecordHeader header{arrivalMs, chunk};
            ring_.write(&header, sizeof header);
            ring_.write(bytes, chunk);
            ++queued_;
            ++inRing_;
            bytes += chunk;
            length -= chunk;
            queued = true;
        }
        if (queued) {
            hasData_.store(true, std::memory_order_release);
        }
    }
    if (queued) {
        host_->inputQueued();
    }
}

uint64_t MidiInPort::queuedSoFar() {
    std::lock_guard guard(ringMutex_);
    return queued_;
}

void MidiInPort::flushLocked() {
    std::lock_guard guard(ringMutex_);
    accepting_ = false;
    ++epoch_;
    ring_.clear();
    done_.fetch_add(inRing_);
    inRing_ = 0;
    hasData_.store(false);
    space_.notify_all();
}

void MidiInPort::stopDelivery() {
    started_ = false;
    flushLocked();
    parser_.reset();
    host_->inputConsumed();
}

// ---- open / close -----------------------------------------------------------------------

MMRESULT MidiInPort::open(BackendSlot* backend, uint64_t key, LPMIDICALLBACK callback,
                          DWORD_PTR instance, HMIDIIN* handle) {
    {
        std::lock_guard guard(mutex_);
        if (state_ != PortState::Free) {
            return MMSYSERR_ALLOCATED;
        }
        {
            std::lock_guard ringGuard(ringMutex_);
            if (!ring_.allocated()) {
                try {
                    ring_.allocate(kRingBytes);
                } catch (const std::bad_alloc&) {
                    return MMSYSERR_NOMEM;
                }
            }
        }
        beginHandle(PortState::Opening, backend, key, callback, instance);
        started_ = false;
        backendOpen_ = false;
        head_ = tail_ = nullptr;
        parser_.reset();
    }
    MMRESULT result;
    {
        std::lock_guard call(backend->callMutex);
        result = backend->backend->openInput(key, *this);
    }
    std::unique_lock lock(mutex_);
    if (result != MMSYSERR_NOERROR) {
        release();
        return result;
    }
    state_ = PortState::Open;
    backendOpen_ = true;
    *handle = reinterpret_cast<HMIDIIN>(handleValue());
    return MMSYSERR_NOERROR;
}

void MidiInPort::closeAtBackend(bool wasOpen) {
    if (wasOpen) {
        std::lock_guard call(backend_->callMutex);
        backend_->backend->closeInput(key_);
    }
}

MMRESULT MidiInPort::close(uint32_t generation) {
    std::unique_lock lock(mutex_);
    if (!valid(generation)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (head_ != nullptr) {
        return MIDIERR_STILLPLAYING;
    }
    state_ = PortState::Closing;
    stopDelivery();
    waitForCallbacks(lock);
    bool wasOpen = backendOpen_ && !dead_;
    backendOpen_ = false;
    lock.unlock();
    closeAtBackend(wasOpen);
    lock.lock();
    if (!dead_) {
        deliver(lock, MIM_CLOSE, 0, 0);
    }
    release();
    return MMSYSERR_NOERROR;
}

MIDIHDR* MidiInPort::detachAll() {
    MIDIHDR* list = head_;
    head_ = tail_ = nullptr;
    for (MIDIHDR* h = list; h != nullptr; h = h->lpNext) {
        h->dwBytesRecorded = 0;
        h->dwFlags = (h->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    }
    return list;
}

void MidiInPort::markDead() {
    std::unique_lock lock(mutex_);
    if (state_ != PortState::Open || dead_) {
        return;
    }
    dead_ = true;
    stopDelivery();
    for (MIDIHDR* h = detachAll(); h != nullptr;) {
        MIDIHDR* next = h->lpNext;
        h->lpNext = nullptr;
        h = next;
    }
    bool wasOpen = backendOpen_;
    backendOpen_ = false;
    lock.unlock();
    closeAtBackend(wasOpen);
}

void MidiInPort::forceClose() {
    markDead();
    std::unique_lock lock(mutex_);
    if (state_ != PortState::Open) {
        return;
    }
    state_ = PortState::Closing;
    waitForCallbacks(lock);
    release();
}

bool MidiInPort::liveDevice(BackendSlot*& backend, uint64_t& key) {
    std::lock_guard guard(mutex_);
    return liveDeviceLocked(true, backend, key);
}

MMRESULT MidiInPort::device(uint32_t generation, BackendSlot*& backend, uint64_t& key) {
    std::lock_guard guard(mutex_);
    if (!valid(generation)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (dead_) {
        return MMSYSERR_NODRIVER;
    }
    backend = backend_;
    key = key_;
    return MMSYSERR_NOERROR;
}

// ---- headers and buffers ----------------------------------------------------------------

MMRESULT MidiInPort::prepareHeader(uint32_t generation, MIDIHDR* header, UINT size) {
    std::lock_guard guard(mutex_);
    return valid(generation) ? markPrepared(header, size) : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiInPort::unprepareHeader(uint32_t generation, MIDIHDR* header, UINT size) {
    std::lock_guard guard(mutex_);
    return valid(generation) ? markUnprepared(header, size) : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiInPort::addBuffer(uint32_t generation, MIDIHDR* header, UINT size) {
    std::lock_guard guard(mutex_);
    if (!valid(generation)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!headerOk(header, size)) {
        return MMSYSERR_INVALPARAM;
    }
    if ((header->dwFlags & MHDR_PREPARED) == 0) {
        return MIDIERR_UNPREPARED;
    }
    if ((header->dwFlags & MHDR_INQUEUE) != 0) {
        return MIDIERR_STILLPLAYING;
    }
    if (header->lpData == nullptr || header->dwBufferLength == 0) {
        return MMSYSERR_INVALPARAM;
    }
    if (dead_) {
        return MMSYSERR_NODRIVER;
    }
    header->dwBytesRecorded = 0;
    header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
    header->lpNext = nullptr;
    if (tail_ != nullptr) {
        tail_->lpNext = header;
    } else {
        head_ = header;
    }
    tail_ = header;
    return MMSYSERR_NOERROR;
}

// ---- start / stop / reset ---------------------------------------------------------------

MMRESULT MidiInPort::start(uint32_t generation) {
    std::lock_guard guard(mutex_);
    if (!valid(generation)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (dead_) {
        return MMSYSERR_NODRIVER;
    }
    if (started_) {
        return MMSYSERR_NOERROR;
    }
    parser_.reset();
    startMs_ = clock::nowMs();
    started_ = true;
    std::lock_guard ringGuard(ringMutex_);
    accepting_ = true;
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInPort::stop(uint32_t generation) {
    std::unique_lock lock(mutex_);
    if (!valid(generation)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (dead_) {
        return MMSYSERR_NODRIVER;
    }
    if (!started_) {
        return MMSYSERR_NOERROR;
    }
    stopDelivery();
    if (head_ != nullptr && head_->dwBytesRecorded > 0) {
        returnHead(lock);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT MidiInPort::reset(uint32_t generation) {
    std::unique_lock lock(mutex_);
    if (!valid(generation)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (dead_) {
        return MMSYSERR_NODRIVER;
    }
    stopDelivery();
    DWORD_PTR now = stamp(clock::nowMs());
    for (MIDIHDR* h = detachAll(); h != nullptr;) {
        MIDIHDR* next = h->lpNext;
        h->lpNext = nullptr;
        deliver(lock, MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(h), now);
        h = next;
    }
    return MMSYSERR_NOERROR;
}

// ---- parsing and delivery (input thread) ------------------------------------------------

uint32_t MidiInPort::stamp(uint32_t time) const {
    uint32_t elapsed = time - startMs_;
    return static_cast<int32_t>(elapsed) < 0 ? 0 : elapsed;
}

void MidiInPort::returnHead(std::unique_lock<std::mutex>& lock) {
    MIDIHDR* header = head_;
    head_ = header->lpNext;
    if (head_ == nullptr) {
        tail_ = nullptr;
    }
    header->lpNext = nullptr;
    header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
    deliver(lock, MIM_LONGDATA, reinterpret_cast<DWORD_PTR>(header), stamp(bufferTime_));
}

void MidiInPort::store(std::unique_lock<std::mutex>& lock, uint8_t byte, uint32_t time, bool end) {
    MIDIHDR* header = head_;
    if (header == nullptr) {
        return; // no buffer queued: the byte is lost, as on a real port
    }
    if (header->dwBytesRecorded == 0) {
        bufferTime_ = time;
    }
    header->lpData[header->dwBytesRecorded++] = static_cast<char>(byte);
    if (end || header->dwBytesRecorded >= header->dwBufferLength) {
        returnHead(lock);
    }
}

void MidiInPort::apply(std::unique_lock<std::mutex>& lock, const MidiByteParser::Action& a) {
    switch (a.kind) {
    case MidiByteParser::Kind::Short:
        deliver(lock, MIM_DATA, a.message, stamp(a.time));
        break;
    case MidiByteParser::Kind::Error:
        deliver(lock, MIM_ERROR, a.message, stamp(a.time));
        break;
    case MidiByteParser::Kind::SysExByte:
        store(lock, a.byte, a.time, false);
        break;
    case MidiByteParser::Kind::SysExEnd:
        store(lock, a.byte, a.time, true);
        break;
    case MidiByteParser::Kind::SysExAbort:
        if (head_ != nullptr && head_->dwBytesRecorded > 0) {
            returnHead(lock);
        }
        break;
    }
}

bool MidiInPort::process() {
    for (int turn = 0; turn < kRecordsPerTurn; ++turn) {
        RecordHeader record{};
        uint32_t epoch = 0;
        {
            std::lock_guard guard(ringMutex_);
            if (inRing_ == 0) {
                hasData_.store(false, std::memory_order_release);
                return false;
            }
            ring_.read(&record, sizeof record);
            ring_.read(scratch_, record.length);
            --inRing_;
            epoch = epoch_;
            space_.notify_all();
        }
        {
            std::unique_lock lock(mutex_);
            auto live = [&] {
                return epoch_ == epoch && state_ == PortState::Open && !dead_ && started_;
            };
            MidiByteParser::Action actions[MidiByteParser::kMaxActions];
            for (uint32_t i = 0; i < record.length && live(); ++i) {
                int n = parser_.feed(scratch_[i], record.time, actions);
                for (int k = 0; k < n && live(); ++k) {
                    apply(lock, actions[k]);
                }
            }
        }
        done_.fetch_add(1);
        host_->inputConsumed();
    }
    return pending();
}

} // namespace cvx::platform
