#include "event_tap.h"

#include "vmidi.h"

#include <cstdlib>

namespace corvex::testing {
namespace {

constexpr unsigned kCable = 0; // "Corvex Loopback 1"
constexpr int kEventPort = 135;

} // namespace

EventTap::EventTap() {
    setenv("CORVEX_MIDI", "virtual", 1);
    InitCallBack();
    target_ = cvxWindowCreate([](void*, uint32_t, uintptr_t, intptr_t) {}, nullptr);
    CFilter filter{};
    client_ = CreateClient(target_, nullptr, &filter);
    CPortMap map{};
    map.inputBits[kEventPort / 32] |= 1u << (kEventPort % 32);
    map.inputMasks[kEventPort] = 0x7FFFF;
    if (client_ == 0 || OpenMidiOut(&output_, kCable, 0, &map, client_) != MMSYSERR_NOERROR) {
        output_ = nullptr;
    }
    take();
}

EventTap::~EventTap() {
    if (output_ != nullptr) {
        CloseMidiOut(output_, client_);
    }
    vmidiSettle();
    if (client_ != 0) {
        DestroyClient(client_);
    }
    cvxWindowDestroy(target_);
    FreeCallBack();
}

std::vector<uint8_t> EventTap::take() {
    vmidiSettle();
    std::vector<uint8_t> bytes(4096);
    bytes.resize(vmidiTake(kCable, bytes.data(), static_cast<unsigned>(bytes.size())));
    return bytes;
}

} // namespace corvex::testing
