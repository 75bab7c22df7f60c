#include "lua_loopback_rig.h"

#include "vmidi.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace corvex::testing {

CPortMap routeFromInputAndGenerated(uint32_t input) {
    CPortMap map{};
    for (uint32_t from : {input, uint32_t{135}}) {
        map.inputBits[from / 32] |= 1u << (from % 32);
        map.inputMasks[from] = 0x7FFFF;
    }
    return map;
}

LuaLoopbackRig::LuaLoopbackRig(size_t memoryLimit)
    : host_(0,
            [this](bool inputs) {
                std::map<int, std::string> ports;
                if (inputs ? IsInDevOpen(client_, kInputCable)
                           : IsOutDevOpen(client_, kOutputCable)) {
                    ports[inputs ? kInputCable : kOutputCable] =
                        inputs ? "Corvex Loopback 1" : "Corvex Loopback 2";
                }
                return ports;
            }),
      engine_(host_, memoryLimit) {
    setenv("CORVEX_MIDI", "virtual", 1);
    char pattern[] = "/tmp/cvx-lua-XXXXXX";
    if (mkdtemp(pattern) != nullptr) {
        folder_ = pattern;
    }
    engine_.setOutputSink([this](std::string_view line) { lines_.emplace_back(line); });
    InitCallBack();
    mainTarget_ = cvxWindowCreate([](void*, uint32_t, uintptr_t, intptr_t) {}, nullptr);
    scriptTarget_ = cvxWindowCreate(&LuaLoopbackRig::record, this);
    CFilter filter{};
    client_ = CreateClient(mainTarget_, nullptr, &filter);
    host_.setClient(client_);
    // What an earlier rig of this process left in the engine's read caches must not show.
    EVENT stale{};
    while (GetEvent(client_, &stale, MON_LUA) != 0) {
    }
    CPortMap map = routeFromInputAndGenerated(kInputCable);
    if (client_ == 0 || OpenMidiIn(&input_, kInputCable, client_) != MMSYSERR_NOERROR ||
        OpenMidiOut(&output_, kOutputCable, 0, &map, client_) != MMSYSERR_NOERROR) {
        return;
    }
    AllocSyxBufOut(output_, client_, 1024);
    StartTimeStamp(client_);
    StartMidiIn(input_);
    AttachLua(client_, scriptTarget_, 0);
    takeOutput();
}

LuaLoopbackRig::~LuaLoopbackRig() {
    engine_.unload();
    if (client_ != 0) {
        DetachLua(client_);
        if (input_ != nullptr) {
            CloseMidiIn(input_, client_);
        }
        if (output_ != nullptr) {
            CloseMidiOut(output_, client_);
        }
        vmidiSettle();
        DestroyClient(client_);
    }
    cvxWindowDestroy(scriptTarget_);
    cvxWindowDestroy(mainTarget_);
    FreeCallBack();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string LuaLoopbackRig::writeScript(const std::string& name, const std::string& text) const {
    const std::filesystem::path path = folder_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

void LuaLoopbackRig::reattach() {
    DetachLua(client_);
    AttachLua(client_, scriptTarget_, engine_.wantsInput() ? 1 : 0);
}

std::vector<uint8_t> LuaLoopbackRig::feed(const std::vector<uint8_t>& bytes) {
    vmidiFeed(kInputCable, bytes.data(), static_cast<unsigned>(bytes.size()));
    vmidiSettle();
    if (engine_.pumpInput()) {
        reattach();
    }
    vmidiSettle();
    return takeOutput();
}

std::vector<uint8_t> LuaLoopbackRig::takeOutput() {
    std::vector<uint8_t> bytes;
    unsigned char buffer[4096];
    while (const unsigned got = vmidiTake(kOutputCable, buffer, sizeof buffer)) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

void LuaLoopbackRig::record(void* user, uint32_t msg, uintptr_t, intptr_t) {
    if (msg == WM_CVX_SCRIPTINPUT) {
        static_cast<LuaLoopbackRig*>(user)->notices_.fetch_add(1);
    }
}

} // namespace corvex::testing
