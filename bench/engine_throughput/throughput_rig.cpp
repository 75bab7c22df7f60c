#include "throughput_rig.h"

#include "core/client_registry.h"
#include "cvxcore.h"
#include "input/input_callback.h"
#include "performance_map.h"
#include "vmidi.h"

#include <stdexcept>

namespace cvx::bench {

namespace {

constexpr uint16_t kInputDevice = 0;
constexpr uint16_t kOutputDevices[2] = {1, 2};

CPortMap routedFromInput() {
    CPortMap map{};
    map.inputBits[kInputDevice / 32] = 1u << (kInputDevice % 32);
    map.inputMasks[kInputDevice] =
        0xFFFF | CVX_ROUTE_SYSEX | CVX_ROUTE_REALTIME | CVX_ROUTE_SYSTEM_COMMON;
    // The engine's own SysEx (the map's trigger) goes out under the generated port's mask.
    map.inputBits[CVX_GENERATED_PORT / 32] |= 1u << (CVX_GENERATED_PORT % 32);
    map.inputMasks[CVX_GENERATED_PORT] = map.inputMasks[kInputDevice];
    return map;
}

} // namespace

uint64_t countWireMessages(const uint8_t* bytes, size_t length) {
    uint64_t count = 0;
    for (size_t i = 0; i < length; ++i) {
        count += bytes[i] >= 0x80 && bytes[i] != 0xF7;
    }
    return count;
}

ThroughputRig::ThroughputRig(bool mapped) : takeBuffer_(1 << 16) {
    CFilter filter = performanceFilter();
    client_ = m32CreateClient(nullptr, nullptr, &filter);
    engineClient_ = core::clientFromHandle(client_);
    if (engineClient_ == nullptr) {
        throw std::runtime_error("the engine made no client");
    }
    if (mapped) {
        PerformanceMap map;
        m32SendMap(client_, map.mapper());
    }
    CPortMap routes = routedFromInput();
    bool opened = vx16OpenMidiIn(&input_, kInputDevice, client_) == MMSYSERR_NOERROR;
    for (int i = 0; i < 2; ++i) {
        opened = opened && vx16OpenMidiOut(&outputs_[i], kOutputDevices[i], 0, &routes, client_) ==
                               MMSYSERR_NOERROR;
    }
    if (!opened) {
        throw std::runtime_error("the loopback cables could not be opened");
    }
    m32StartTimeStamp(client_);
}

ThroughputRig::~ThroughputRig() {
    m32CloseMidiIn(input_, client_);
    for (HMIDIOUT output : outputs_) {
        m32CloseMidiOut(output, client_);
    }
    m32DestroyClient(client_);
}

void ThroughputRig::inject(uint32_t message, uint32_t timestamp) {
    input::engineInputCallback(input_, MIM_DATA, reinterpret_cast<DWORD_PTR>(engineClient_),
                               message, timestamp);
}

void ThroughputRig::startInput() {
    m32StartMidiIn(input_);
}

void ThroughputRig::drain(Arrivals& arrivals) {
    EVENT event{};
    while (m32GetEvent(client_, &event, MON_MAIN) != 0) {
        ++arrivals.monitorRecords;
    }
    for (int i = 0; i < 2; ++i) {
        unsigned taken = 0;
        while ((taken = vmidiTake(kOutputDevices[i], takeBuffer_.data(),
                                  static_cast<unsigned>(takeBuffer_.size()))) > 0) {
            arrivals.outputMessages[i] += countWireMessages(takeBuffer_.data(), taken);
        }
    }
}

} // namespace cvx::bench
