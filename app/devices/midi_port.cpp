#include "midi_port.h"

#include "cvxlib.h"

#include <cstring>

namespace corvex {

namespace {

constexpr const char* kInPrefix = "<< In: ";
constexpr const char* kOutPrefix = ">> Out:";
constexpr const char* kMapperName = "MIDI Mapper";

std::string capsName(const char* name) {
    return std::string(name, strnlen(name, MAXPNAMELEN));
}

std::string failedDeviceName(const char* kind, const std::string& name) {
    return std::string(kind) + (name.empty() ? std::string("Unknown Device") : name);
}

} // namespace

const std::string& CMidiPort::displayName() const {
    return customName_.empty() ? productName_ : customName_;
}

void CMidiPort::Reset() {
    productName_.clear();
    customName_.clear();
    backend_.clear();
    deviceIndex_ = -1;
    deselect();
}

void CMidiPort::logBeginOpen(const char* prefix) const {
    context_->log->line(std::string(" ") + prefix + " Begin Open-Device:     " +
                        std::to_string(deviceIndex_) + ", " + productName_);
}

void CMidiPort::logOpenResult(const char* prefix, MMRESULT result, PortDirection direction) {
    if (result == MMSYSERR_NOERROR) {
        context_->log->line(std::string(" ") + prefix + " Open-Device Succeeded: " +
                            std::to_string(deviceIndex_) + ", " + productName_);
        return;
    }
    const std::string description = describeOpenError(result, displayName(), direction);
    context_->log->line(std::string(" ") + prefix + " Open-Device Failed:    " +
                        std::to_string(deviceIndex_) + ", " + description);
    context_->pendingOpenErrors += description + "\n";
}

// ---- Inputs --------------------------------------------------------------------------------

int CMidiIn::QueryCaps(int deviceIndex) {
    MIDIINCAPS caps{};
    const MMRESULT result = context_->query->inputCaps(static_cast<unsigned>(deviceIndex), caps);
    std::string backend;
    std::string name = context_->query->inputName(static_cast<unsigned>(deviceIndex), backend);
    if (name.empty()) {
        name = capsName(caps.szPname);
    }
    if (result != MMSYSERR_NOERROR) {
        context_->log->line(std::string(" ") + kInPrefix +
                            " Query Device Failed: " + std::to_string(deviceIndex) + ", " +
                            describeOpenError(result, failedDeviceName("DevCaps In: ", name),
                                              PortDirection::Input));
        return 0;
    }
    caps_ = caps;
    deviceIndex_ = deviceIndex;
    productName_ = name;
    backend_ = backend;
    return 1;
}

int CMidiIn::Open() {
    if (handle_ != nullptr) {
        return 1;
    }
    logBeginOpen(kInPrefix);
    HMIDIIN opened = nullptr;
    const MMRESULT result =
        OpenMidiIn(&opened, static_cast<uint16_t>(deviceIndex_), context_->client);
    logOpenResult(kInPrefix, result, PortDirection::Input);
    handle_ = result == MMSYSERR_NOERROR ? opened : nullptr;
    return handle_ != nullptr ? 1 : 0;
}

int CMidiIn::Close() {
    if (handle_ == nullptr || CloseMidiIn(handle_, context_->client) == 0) {
        return 0;
    }
    handle_ = nullptr;
    return 1;
}

int CMidiIn::AllocSysExBuffer(uint16_t size) {
    return handle_ != nullptr ? AllocSyxBufIn(handle_, context_->client, size) : 0;
}

void CMidiIn::FreeSysExBuffers() {
    if (handle_ != nullptr) {
        FreeSyxBufIn(handle_, context_->client);
    }
}

void CMidiIn::Reset() {
    CMidiPort::Reset();
    handle_ = nullptr;
    caps_ = MIDIINCAPS{};
}

// ---- Outputs -------------------------------------------------------------------------------

int CMidiOut::QueryCaps(int deviceIndex) {
    MIDIOUTCAPS caps{};
    const MMRESULT result = context_->query->outputCaps(static_cast<unsigned>(deviceIndex), caps);
    std::string backend;
    std::string name = context_->query->outputName(static_cast<unsigned>(deviceIndex), backend);
    if (name.empty()) {
        name = capsName(caps.szPname);
    }
    if (result != MMSYSERR_NOERROR) {
        queryFailure_ = describeOpenError(result, failedDeviceName("DevCaps Out: ", name),
                                          PortDirection::Output);
        return 0;
    }
    queryFailure_.clear();
    caps_ = caps;
    deviceIndex_ = deviceIndex;
    productName_ = name;
    backend_ = backend;
    mapper_ = false;
    return 1;
}

void CMidiOut::makeMapper(int deviceIndex) {
    Reset();
    mapper_ = true;
    deviceIndex_ = deviceIndex;
    productName_ = kMapperName;
    context_->query->outputCaps(MIDI_MAPPER, caps_);
}

int CMidiOut::Open() {
    if (handle_ != nullptr) {
        return 1;
    }
    logBeginOpen(kOutPrefix);
    HMIDIOUT opened = nullptr;
    const MMRESULT result = OpenMidiOut(&opened, static_cast<uint16_t>(deviceIndex_),
                                        mapper_ ? 1 : 0, &portMap_, context_->client);
    logOpenResult(kOutPrefix, result, PortDirection::Output);
    handle_ = result == MMSYSERR_NOERROR ? opened : nullptr;
    return handle_ != nullptr ? 1 : 0;
}

int CMidiOut::Close() {
    if (handle_ == nullptr || CloseMidiOut(handle_, context_->client) == 0) {
        return 0;
    }
    handle_ = nullptr;
    return 1;
}

int CMidiOut::AllocSysExBuffer(uint16_t size) {
    return handle_ != nullptr ? AllocSyxBufOut(handle_, context_->client, size) : 0;
}

void CMidiOut::FreeSysExBuffers() {
    if (handle_ != nullptr) {
        FreeSyxBufOut(handle_, context_->client);
    }
}

void CMidiOut::Reset() {
    CMidiPort::Reset();
    handle_ = nullptr;
    caps_ = MIDIOUTCAPS{};
    portMap_ = CPortMap{};
    mapper_ = false;
    queryFailure_.clear();
}

} // namespace corvex
