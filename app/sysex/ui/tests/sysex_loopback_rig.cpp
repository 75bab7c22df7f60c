#include "sysex_loopback_rig.h"

#include "cvxlib.h"
#include "vmidi.h"

#include <algorithm>

namespace corvex::testing {

namespace {

constexpr uint16_t kInputBufferCount = 64;
constexpr uint16_t kOutputBufferCount = 8;
constexpr uint32_t kGeneratedPort = 135;

CPortMap onlyGeneratedEvents() {
    CPortMap map{};
    map.inputBits[kGeneratedPort / 32] |= 1u << (kGeneratedPort % 32);
    map.inputMasks[kGeneratedPort] = 0x7FFFF;
    return map;
}

} // namespace

std::vector<double> TimedSysExEngine::gapsMs() const {
    std::vector<double> gaps;
    for (size_t i = 1; i < sendTimes.size(); ++i) {
        gaps.push_back(
            std::chrono::duration<double, std::milli>(sendTimes[i] - sendTimes[i - 1]).count());
    }
    return gaps;
}

SysExLoopbackRig::SysExLoopbackRig(uint16_t inputDevice, uint16_t outputDevice, uint16_t pieceSize)
    : pieceSize_(pieceSize) {
    InitCallBack();
    mainTarget_ = cvxWindowCreate([](void*, uint32_t, uintptr_t, intptr_t) {}, nullptr);
    CFilter filter{};
    client_ = CreateClient(mainTarget_, nullptr, &filter);
    CPortMap map = onlyGeneratedEvents();
    if (client_ == 0 || OpenMidiIn(&input_, inputDevice, client_) != MMSYSERR_NOERROR ||
        OpenMidiOut(&output_, outputDevice, 0, &map, client_) != MMSYSERR_NOERROR) {
        return;
    }
    for (uint16_t i = 0; i < kInputBufferCount; ++i) {
        AllocSyxBufIn(input_, client_, pieceSize);
    }
    for (uint16_t i = 0; i < kOutputBufferCount; ++i) {
        AllocSyxBufOut(output_, client_, pieceSize);
    }
    StartTimeStamp(client_);
    StartMidiIn(input_);
    engine_ = std::make_unique<TimedSysExEngine>(client_);
    SysExTransferHost host;
    host.client = [this] { return client_; };
    host.passSysEx = [] { return true; };
    host.openOutputs = [] { return 1; };
    host.openInputs = [] { return 1; };
    host.buffers = [this] {
        return SysExBufferNumbers{pieceSize_, kInputBufferCount, pieceSize_, kOutputBufferCount};
    };
    host.setBuffers = [](const SysExBufferNumbers&) { return true; };
    host.warn = [this](QWidget*, const QString&, const QString& text) {
        warnings_.push_back(text.toStdString());
    };
    host.chooseDumpFile = [this](QWidget*) { return dumpPath_; };
    transfer_ = std::make_unique<SysExTransfer>(store_, std::move(host), engine_.get());
}

SysExLoopbackRig::~SysExLoopbackRig() {
    transfer_.reset();
    if (client_ != 0) {
        if (input_ != nullptr) {
            CloseMidiIn(input_, client_);
        }
        if (output_ != nullptr) {
            CloseMidiOut(output_, client_);
        }
        vmidiSettle();
        DestroyClient(client_);
    }
    cvxWindowDestroy(mainTarget_);
    FreeCallBack();
}

void SysExLoopbackRig::configure(bool cutAfterF7, uint32_t afterF7Ms, uint32_t bufferMs,
                                 bool dumpToFile) {
    SysExConfigureResult result;
    result.settings = transfer_->settings();
    result.settings.delayAfterF7 = cutAfterF7;
    result.settings.afterF7DelayMs = afterF7Ms;
    result.settings.bufferDelayMs = bufferMs;
    result.settings.saveDirectlyToFile = dumpToFile;
    result.buffers = {pieceSize_, kInputBufferCount, pieceSize_, kOutputBufferCount};
    transfer_->applyConfigure(result, nullptr);
}

std::vector<uint8_t> sysExDump(size_t size, size_t messageLength) {
    std::vector<uint8_t> bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
        size_t length = std::min(messageLength, size - bytes.size());
        bytes.push_back(0xF0);
        for (size_t i = 2; i < length; ++i) {
            bytes.push_back(static_cast<uint8_t>((bytes.size() + i) & 0x7F));
        }
        if (length > 1) {
            bytes.push_back(0xF7);
        }
    }
    return bytes;
}

} // namespace corvex::testing
