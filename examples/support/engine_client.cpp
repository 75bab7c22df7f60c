#include "support/engine_client.h"

namespace corvex::examples {
namespace {

constexpr int kSysExBuffers = 8;
constexpr uint16_t kSysExBufferSize = 8192;

std::string failure(const char* what, const Device& device, const std::string& reason) {
    return std::string("cannot open ") + what + " \"" + device.name + "\": " + reason;
}

std::string inputError(MMRESULT result) {
    char text[MAXERRORLENGTH] = {};
    midiInGetErrorText(result, text, sizeof text);
    return text;
}

std::string outputError(MMRESULT result) {
    char text[MAXERRORLENGTH] = {};
    midiOutGetErrorText(result, text, sizeof text);
    return text;
}

} // namespace

EngineClient::EngineClient(HWND window) {
    InitCallBack();
    CFilter filter{};
    handle_ = CreateClient(window, nullptr, &filter);
}

EngineClient::~EngineClient() {
    for (HMIDIIN input : inputs_) {
        CloseMidiIn(input, handle_);
    }
    for (HMIDIOUT output : outputs_) {
        CloseMidiOut(output, handle_);
    }
    DestroyClient(handle_);
    FreeCallBack();
}

std::string EngineClient::openInput(const Device& device) {
    if (handle_ == 0) {
        return failure("input", device, "the engine made no client");
    }
    HMIDIIN input = nullptr;
    const MMRESULT result = OpenMidiIn(&input, static_cast<uint16_t>(device.index), handle_);
    if (result != MMSYSERR_NOERROR) {
        return failure("input", device, inputError(result));
    }
    inputs_.push_back(input);
    for (int i = 0; i < kSysExBuffers; ++i) {
        if (AllocSyxBufIn(input, handle_, kSysExBufferSize) != 1) {
            return failure("input", device, "no memory for its SysEx buffers");
        }
    }
    return {};
}

std::string EngineClient::openOutput(const Device& device, const CPortMap& map) {
    if (handle_ == 0) {
        return failure("output", device, "the engine made no client");
    }
    HMIDIOUT output = nullptr;
    CPortMap copy = map;
    const MMRESULT result =
        OpenMidiOut(&output, static_cast<uint16_t>(device.index), 0, &copy, handle_);
    if (result != MMSYSERR_NOERROR) {
        return failure("output", device, outputError(result));
    }
    outputs_.push_back(output);
    for (int i = 0; i < kSysExBuffers; ++i) {
        if (AllocSyxBufOut(output, handle_, kSysExBufferSize) != 1) {
            return failure("output", device, "no memory for its SysEx buffers");
        }
    }
    return {};
}

void EngineClient::start() {
    StartTimeStamp(handle_);
    for (HMIDIIN input : inputs_) {
        StartMidiIn(input);
    }
}

void EngineClient::giveBack(const CvxMessage& sysexData) {
    RetBuf(reinterpret_cast<HMIDIIN>(sysexData.wParam), static_cast<uint64_t>(sysexData.lParam));
}

} // namespace corvex::examples
