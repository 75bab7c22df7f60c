#include "output_ports.h"

#include "cvx_devices.h"
#include "cvx_platform.h"

#include <algorithm>
#include <cctype>

namespace corvex {
namespace {

bool sameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string cut(const std::string& name) {
    return name.substr(0, kStoredPortNameChars);
}

} // namespace

std::vector<std::string> outputDeviceNames(std::string* problem) {
    std::vector<std::string> names;
    UINT count = std::min<UINT>(midiOutGetNumDevs(), kMaxOutputDevices);
    for (UINT device = 0; device < count; ++device) {
        char name[256] = {};
        MMRESULT result = cvxMidiOutGetName(device, name, sizeof name);
        if (result != MMSYSERR_NOERROR) {
            if (problem != nullptr) {
                char text[MAXERRORLENGTH] = {};
                midiOutGetErrorText(result, text, sizeof text);
                *problem = std::string("Output Device Capabilities: ") + text;
            }
            break; // the list changed under us: offer what was read
        }
        names.emplace_back(name);
    }
    return names;
}

int resolveStoredPort(const std::vector<std::string>& names, const std::string& stored) {
    if (stored.empty()) {
        return kMapperChoice;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (sameText(names[i], stored)) {
            return static_cast<int>(i);
        }
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (sameText(cut(names[i]), stored)) {
            return static_cast<int>(i);
        }
    }
    return kMapperChoice;
}

std::string storedPortName(const std::vector<std::string>& names, int choice) {
    if (choice < 0 || static_cast<size_t>(choice) >= names.size()) {
        return {};
    }
    return cut(names[choice]);
}

} // namespace corvex
