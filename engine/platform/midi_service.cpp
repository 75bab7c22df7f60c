#include "platform/midi_service.h"

#include "platform/backend_registry.h"
#include "platform/rt_priority.h"
#include "platform/service_clock.h"

#include <algorithm>
#include <cstdlib>

namespace cvx::platform {

namespace {

constexpr int kInputThreadPriority = 45;
thread_local bool tInputThread = false;
thread_local bool tDeviceThread = false;

bool sameList(const std::vector<DeviceEntry>& a, const std::vector<DeviceEntry>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].backend != b[i].backend || a[i].key != b[i].key || a[i].name != b[i].name) {
            return false;
        }
    }
    return true;
}

bool listed(const std::vector<DeviceEntry>& list, const BackendSlot* backend, uint64_t key) {
    return std::any_of(list.begin(), list.end(),
                       [&](const DeviceEntry& e) { return e.backend == backend && e.key == key; });
}

MMRESULT checkOpenFlags(DWORD_PTR callback, DWORD flags) {
    DWORD type = flags & CALLBACK_TYPEMASK;
    if (type != CALLBACK_NULL && type != CALLBACK_FUNCTION) {
        return MMSYSERR_INVALFLAG;
    }
    if (type == CALLBACK_FUNCTION && callback == 0) {
        return MMSYSERR_INVALPARAM;
    }
    return MMSYSERR_NOERROR;
}

} // namespace

MidiService& MidiService::instance() {
    // Never destroyed: its threads may still be waiting when the process exits. Its backends
    // are stopped at exit, though: a JACK client that vanishes without closing stalls the
    // server's other clients until the server gives up on it.
    static MidiService* service = [] {
        auto* s = new MidiService();
        s->restart(makeSelectedBackends(std::getenv("CORVEX_MIDI")));
        std::atexit([] { instance().restart({}); });
        return s;
    }();
    return *service;
}

void MidiService::restartFromEnvironment() {
    instance().restart(makeSelectedBackends(std::getenv("CORVEX_MIDI")));
}

void MidiService::restartWith(std::vector<std::unique_ptr<MidiBackend>> backends) {
    instance().restart(std::move(backends));
}

MidiService::MidiService()
    : inputPorts_(new MidiInPort[kInputSlots]), outputPorts_(new MidiOutPort[kOutputSlots]) {
    for (uint32_t i = 0; i < kInputSlots; ++i) {
        inputPorts_[i].init(i, this);
    }
    for (uint32_t i = 0; i < kOutputSlots; ++i) {
        outputPorts_[i].init(i);
    }
    std::thread(&MidiService::inputThreadMain, this).detach();
    std::thread(&MidiService::deviceThreadMain, this).detach();
}

void MidiService::restart(std::vector<std::unique_ptr<MidiBackend>> backends) {
    std::lock_guard config(configMutex_);
    for (uint32_t i = 0; i < kInputSlots; ++i) {
        inputPorts_[i].forceClose();
    }
    for (uint32_t i = 0; i < kOutputSlots; ++i) {
        outputPorts_[i].forceClose();
    }
    {
        std::lock_guard open(openMutex_);
        shares_.clear();
    }
    openFailures_.clear();
    std::vector<std::unique_ptr<BackendSlot>> old;
    {
        std::lock_guard list(listMutex_);
        old.swap(backends_);
        inputs_.clear();
        outputs_.clear();
    }
    for (auto& slot : old) {
        std::lock_guard call(slot->callMutex);
        slot->backend->stop();
    }
    old.clear();
    std::vector<std::unique_ptr<BackendSlot>> started;
    for (auto& backend : backends) {
        auto slot = std::make_unique<BackendSlot>();
        slot->name = backend->name();
        slot->loopback = backend->loopback();
        slot->byteStream = backend->carriesRunningStatus();
        slot->backend = std::move(backend);
        bool ok = false;
        {
            std::lock_guard call(slot->callMutex);
            ok = slot->backend->start(*this);
        }
        if (ok) {
            started.push_back(std::move(slot));
        }
    }
    {
        std::lock_guard list(listMutex_);
        backends_.swap(started);
    }
    std::vector<DeviceEntry> ins;
    std::vector<DeviceEntry> outs;
    enumerate(ins, outs);
    std::lock_guard list(listMutex_);
    inputs_.swap(ins);
    outputs_.swap(outs);
}

void MidiService::enumerate(std::vector<DeviceEntry>& ins, std::vector<DeviceEntry>& outs) {
    for (auto& slot : backends_) {
        std::lock_guard call(slot->callMutex);
        for (auto& e : slot->backend->inputs()) {
            ins.push_back({slot.get(), e.key, e.name});
        }
        for (auto& e : slot->backend->outputs()) {
            outs.push_back({slot.get(), e.key, e.name});
        }
    }
}

// ---- device lists -----------------------------------------------------------------------

std::vector<DeviceEntry> MidiService::inputs() {
    std::lock_guard guard(listMutex_);
    return inputs_;
}

std::vector<DeviceEntry> MidiService::outputs() {
    std::lock_guard guard(listMutex_);
    return outputs_;
}

UINT MidiService::inputCount() {
    std::lock_guard guard(listMutex_);
    return static_cast<UINT>(inputs_.size());
}

UINT MidiService::outputCount() {
    std::lock_guard guard(listMutex_);
    return static_cast<UINT>(outputs_.size());
}

bool MidiService::inputEntry(UINT index, DeviceEntry& out) {
    std::lock_guard guard(listMutex_);
    if (index >= inputs_.size()) {
        return false;
    }
    out = inputs_[index];
    return true;
}

bool MidiService::outputEntry(UINT index, DeviceEntry& out) {
    std::lock_guard guard(listMutex_);
    if (index >= outputs_.size()) {
        return false;
    }
    out = outputs_[index];
    return true;
}

bool MidiService::mapperTarget(DeviceEntry& out) {
    std::lock_guard guard(listMutex_);
    for (auto& e : outputs_) {
        if (e.backend->loopback == nullptr) {
            out = e;
            return true;
        }
    }
    if (outputs_.empty()) {
        return false;
    }
    out = outputs_.front();
    return true;
}

namespace {

// The position of a backend's endpoint in a device list.
bool findEntry(const std::vector<DeviceEntry>& list, const BackendSlot* backend, uint64_t key,
               UINT& index) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].backend == backend && list[i].key == key) {
            index = static_cast<UINT>(i);
            return true;
        }
    }
    return false;
}

} // namespace

bool MidiService::inputIndex(const BackendSlot* backend, uint64_t key, UINT& index) {
    std::lock_guard guard(listMutex_);
    return findEntry(inputs_, backend, key, index);
}

bool MidiService::outputIndex(const BackendSlot* backend, uint64_t key, UINT& index) {
    std::lock_guard guard(listMutex_);
    return findEntry(outputs_, backend, key, index);
}

// ---- handles ----------------------------------------------------------------------------

MidiInPort* MidiService::inputPort(HMIDIIN handle, uint32_t& generation) {
    uint32_t slot = 0;
    if (!decodeHandle(reinterpret_cast<uintptr_t>(handle), kInputSlots, slot, generation)) {
        return nullptr;
    }
    return &inputPorts_[slot];
}

MidiOutPort* MidiService::outputPort(HMIDIOUT handle, uint32_t& generation) {
    uint32_t slot = 0;
    if (!decodeHandle(reinterpret_cast<uintptr_t>(handle), kOutputSlots, slot, generation)) {
        return nullptr;
    }
    return &outputPorts_[slot];
}

MMRESULT MidiService::openInputLocked(HMIDIIN* handle, UINT device, DWORD_PTR callback,
                                      DWORD_PTR instance, DWORD flags) {
    if (handle == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *handle = nullptr;
    if (MMRESULT r = checkOpenFlags(callback, flags); r != MMSYSERR_NOERROR) {
        return r;
    }
    std::lock_guard open(openMutex_);
    DeviceEntry entry;
    if (!inputEntry(device, entry)) {
        return MMSYSERR_BADDEVICEID;
    }
    MMRESULT failure = 0;
    if (openFailures_.take({false, false, entry.backend, entry.key}, failure)) {
        return failure;
    }
    MidiInPort* freePort = nullptr;
    for (uint32_t i = 0; i < kInputSlots; ++i) {
        BackendSlot* backend = nullptr;
        uint64_t key = 0;
        if (inputPorts_[i].liveDevice(backend, key) && backend == entry.backend &&
            key == entry.key) {
            return MMSYSERR_ALLOCATED;
        }
        if (freePort == nullptr && !inputPorts_[i].busy()) {
            freePort = &inputPorts_[i];
        }
    }
    if (freePort == nullptr) {
        return MMSYSERR_NOMEM;
    }
    auto function = (flags & CALLBACK_TYPEMASK) == CALLBACK_FUNCTION
                        ? reinterpret_cast<LPMIDICALLBACK>(callback)
                        : nullptr;
    return freePort->open(entry.backend, entry.key, function, instance, handle);
}

MMRESULT MidiService::openInput(HMIDIIN* handle, UINT device, DWORD_PTR callback,
                                DWORD_PTR instance, DWORD flags) {
    MMRESULT r = openInputLocked(handle, device, callback, instance, flags);
    if (r == MMSYSERR_NOERROR) {
        uint32_t generation = 0;
        if (MidiInPort* port = inputPort(*handle, generation)) {
            port->announceOpen(generation);
        }
    }
    return r;
}

MMRESULT MidiService::closeInput(HMIDIIN handle) {
    uint32_t generation = 0;
    MidiInPort* port = inputPort(handle, generation);
    return port != nullptr ? port->close(generation) : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiService::openOutputLocked(HMIDIOUT* handle, UINT device, DWORD_PTR callback,
                                       DWORD_PTR instance, DWORD flags) {
    if (handle == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *handle = nullptr;
    if (MMRESULT r = checkOpenFlags(callback, flags); r != MMSYSERR_NOERROR) {
        return r;
    }
    std::lock_guard open(openMutex_);
    bool mapper = device == MIDI_MAPPER;
    DeviceEntry entry;
    if (mapper ? !mapperTarget(entry) : !outputEntry(device, entry)) {
        return mapper ? MIDIERR_NODEVICE : MMSYSERR_BADDEVICEID;
    }
    MMRESULT failure = 0;
    if (openFailures_.take({true, mapper, entry.backend, entry.key}, failure)) {
        return failure;
    }
    MidiOutPort* freePort = nullptr;
    for (uint32_t i = 0; i < kOutputSlots && freePort == nullptr; ++i) {
        if (!outputPorts_[i].busy()) {
            freePort = &outputPorts_[i];
        }
    }
    if (freePort == nullptr) {
        return MMSYSERR_NOMEM;
    }
    auto share = std::find_if(shares_.begin(), shares_.end(), [&](const Share& s) {
        return s.backend == entry.backend && s.key == entry.key;
    });
    if (share == shares_.end()) {
        MMRESULT r;
        {
            std::lock_guard call(entry.backend->callMutex);
            r = entry.backend->backend->openOutput(entry.key);
        }
        if (r != MMSYSERR_NOERROR) {
            return r;
        }
        shares_.push_back({entry.backend, entry.key, 1});
    } else {
        ++share->count;
    }
    auto function = (flags & CALLBACK_TYPEMASK) == CALLBACK_FUNCTION
                        ? reinterpret_cast<LPMIDICALLBACK>(callback)
                        : nullptr;
    freePort->open(entry.backend, entry.key, mapper, function, instance, handle);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiService::openOutput(HMIDIOUT* handle, UINT device, DWORD_PTR callback,
                                 DWORD_PTR instance, DWORD flags) {
    MMRESULT r = openOutputLocked(handle, device, callback, instance, flags);
    if (r == MMSYSERR_NOERROR) {
        uint32_t generation = 0;
        if (MidiOutPort* port = outputPort(*handle, generation)) {
            port->announceOpen(generation);
        }
    }
    return r;
}

void MidiService::releaseShare(BackendSlot* backend, uint64_t key) {
    std::lock_guard open(openMutex_);
    auto share = std::find_if(shares_.begin(), shares_.end(),
                              [&](const Share& s) { return s.backend == backend && s.key == key; });
    if (share == shares_.end()) {
        return;
    }
    if (--share->count == 0) {
        shares_.erase(share);
        std::lock_guard call(backend->callMutex);
        backend->backend->closeOutput(key);
    }
}

MMRESULT MidiService::closeOutput(HMIDIOUT handle) {
    uint32_t generation = 0;
    MidiOutPort* port = outputPort(handle, generation);
    if (port == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    bool closeBackend = false;
    BackendSlot* backend = nullptr;
    uint64_t key = 0;
    MMRESULT r = port->beginClose(generation, closeBackend, backend, key);
    if (r != MMSYSERR_NOERROR) {
        return r;
    }
    if (closeBackend) {
        releaseShare(backend, key);
    }
    port->finishClose();
    return MMSYSERR_NOERROR;
}

// ---- threads ----------------------------------------------------------------------------

void MidiService::inputQueued() {
    {
        std::lock_guard guard(wakeMutex_);
        wakePending_ = true;
    }
    wake_.notify_one();
}

void MidiService::inputConsumed() {
    if (settleWaiters_.load() > 0) {
        { std::lock_guard guard(settleMutex_); }
        settled_.notify_all();
    }
}

void MidiService::inputThreadMain() {
    tInputThread = true;
    tryRealtimePriority(kInputThreadPriority);
    for (;;) {
        {
            std::unique_lock lock(wakeMutex_);
            wake_.wait(lock, [&] { return wakePending_; });
            wakePending_ = false;
        }
        bool more = true;
        while (more) {
            more = false;
            for (uint32_t i = 0; i < kInputSlots; ++i) {
                if (inputPorts_[i].pending() && inputPorts_[i].process()) {
                    more = true;
                }
            }
        }
    }
}

void MidiService::endpointsChanged() {
    {
        std::lock_guard guard(deviceMutex_);
        ++updatesAsked_;
    }
    deviceCv_.notify_all();
}

void MidiService::waitForDeviceUpdates() {
    if (tDeviceThread) {
        return;
    }
    std::unique_lock lock(deviceMutex_);
    uint64_t target = updatesAsked_;
    deviceCv_.wait(lock, [&] { return updatesDone_ >= target; });
}

void MidiService::deviceThreadMain() {
    tDeviceThread = true;
    for (;;) {
        uint64_t target = 0;
        {
            std::unique_lock lock(deviceMutex_);
            deviceCv_.wait(lock, [&] { return updatesAsked_ > updatesDone_; });
            target = updatesAsked_;
        }
        if (rescan()) {
            notifyDeviceChange();
        }
        {
            std::lock_guard guard(deviceMutex_);
            updatesDone_ = target;
        }
        deviceCv_.notify_all();
    }
}

bool MidiService::rescan() {
    std::lock_guard config(configMutex_);
    std::vector<DeviceEntry> ins;
    std::vector<DeviceEntry> outs;
    enumerate(ins, outs);
    bool changed = false;
    {
        std::lock_guard list(listMutex_);
        changed = !sameList(ins, inputs_) || !sameList(outs, outputs_);
        inputs_ = ins;
        outputs_ = outs;
    }
    for (uint32_t i = 0; i < kInputSlots; ++i) {
        BackendSlot* backend = nullptr;
        uint64_t key = 0;
        if (inputPorts_[i].liveDevice(backend, key) && !listed(ins, backend, key)) {
            inputPorts_[i].markDead();
        }
    }
    for (uint32_t i = 0; i < kOutputSlots; ++i) {
        BackendSlot* backend = nullptr;
        uint64_t key = 0;
        if (outputPorts_[i].liveDevice(backend, key) && !listed(outs, backend, key)) {
            if (outputPorts_[i].markDead()) {
                releaseShare(backend, key);
            }
        }
    }
    return changed;
}

void MidiService::notifyDeviceChange() {
    std::lock_guard guard(callbackMutex_);
    if (deviceCallback_ != nullptr) {
        deviceCallback_(deviceCallbackUser_);
    }
}

void MidiService::setDeviceChangeCallback(CvxDeviceChangeCallback callback, void* user) {
    std::lock_guard guard(callbackMutex_);
    deviceCallback_ = callback;
    deviceCallbackUser_ = user;
}

// ---- what the test tap stands on -------------------------------------------------------

void MidiService::feedInput(const DeviceEntry& entry, const uint8_t* bytes, size_t length) {
    for (uint32_t i = 0; i < kInputSlots; ++i) {
        BackendSlot* backend = nullptr;
        uint64_t key = 0;
        if (inputPorts_[i].liveDevice(backend, key) && backend == entry.backend &&
            key == entry.key) {
            inputPorts_[i].feed(bytes, length, clock::nowMs(), !tInputThread);
            return;
        }
    }
}

void MidiService::waitForInputs() {
    if (tInputThread) {
        return;
    }
    std::vector<uint64_t> targets(kInputSlots);
    for (uint32_t i = 0; i < kInputSlots; ++i) {
        targets[i] = inputPorts_[i].queuedSoFar();
    }
    settleWaiters_.fetch_add(1);
    {
        std::unique_lock lock(settleMutex_);
        settled_.wait(lock, [&] {
            for (uint32_t i = 0; i < kInputSlots; ++i) {
                if (!inputPorts_[i].doneUpTo(targets[i])) {
                    return false;
                }
            }
            return true;
        });
    }
    settleWaiters_.fetch_sub(1);
}

BackendSlot* MidiService::loopbackSlot() {
    std::lock_guard guard(listMutex_);
    for (auto& slot : backends_) {
        if (slot->loopback != nullptr) {
            return slot.get();
        }
    }
    return nullptr;
}

} // namespace cvx::platform
