#include "support/device_lookup.h"

#include "cvx_devices.h"

#include <charconv>

namespace corvex::examples {
namespace {

constexpr UINT kNameSize = 512;

using NameCall = MMRESULT (*)(UINT, char*, UINT);

std::vector<Device> devices(UINT count, NameCall name, NameCall backend) {
    std::vector<Device> list;
    for (UINT i = 0; i < count; ++i) {
        char nameText[kNameSize] = {};
        char backendText[kNameSize] = {};
        if (name(i, nameText, kNameSize) == MMSYSERR_NOERROR &&
            backend(i, backendText, kNameSize) == MMSYSERR_NOERROR) {
            list.push_back({i, nameText, backendText});
        }
    }
    return list;
}

std::optional<Device> find(const std::vector<Device>& list, std::string_view nameOrIndex) {
    for (const Device& device : list) {
        if (device.name == nameOrIndex) {
            return device;
        }
    }
    unsigned index = 0;
    const char* end = nameOrIndex.data() + nameOrIndex.size();
    auto [stop, error] = std::from_chars(nameOrIndex.data(), end, index);
    if (nameOrIndex.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    for (const Device& device : list) {
        if (device.index == index) {
            return device;
        }
    }
    return std::nullopt;
}

void appendListing(std::string& text, const char* title, const std::vector<Device>& list) {
    text += title;
    for (const Device& device : list) {
        text += "  " + std::to_string(device.index) + "  " + device.name + "  (" + device.backend +
                ")\n";
    }
}

} // namespace

std::vector<Device> inputDevices() {
    return devices(midiInGetNumDevs(), cvxMidiInGetName, cvxMidiInGetBackend);
}

std::vector<Device> outputDevices() {
    return devices(midiOutGetNumDevs(), cvxMidiOutGetName, cvxMidiOutGetBackend);
}

std::optional<Device> findInput(std::string_view nameOrIndex) {
    return find(inputDevices(), nameOrIndex);
}

std::optional<Device> findOutput(std::string_view nameOrIndex) {
    return find(outputDevices(), nameOrIndex);
}

std::string deviceListing() {
    std::string text;
    appendListing(text, "Inputs:\n", inputDevices());
    appendListing(text, "Outputs:\n", outputDevices());
    return text;
}

} // namespace corvex::examples
