#include "midi_device_query.h"

#include "cvx_devices.h"

#include <map>
#include <set>

namespace corvex {

namespace {

constexpr UINT kNameBytes = 512;

template <typename NameCall> std::string nameFrom(NameCall call, unsigned device) {
    char text[kNameBytes] = {};
    return call(device, text, kNameBytes) == MMSYSERR_NOERROR ? std::string(text) : std::string();
}

} // namespace

unsigned PlatformDeviceQuery::inputCount() {
    return midiInGetNumDevs();
}

unsigned PlatformDeviceQuery::outputCount() {
    return midiOutGetNumDevs();
}

MMRESULT PlatformDeviceQuery::inputCaps(unsigned device, MIDIINCAPS& caps) {
    return midiInGetDevCaps(device, &caps, sizeof caps);
}

MMRESULT PlatformDeviceQuery::outputCaps(unsigned device, MIDIOUTCAPS& caps) {
    return midiOutGetDevCaps(device, &caps, sizeof caps);
}

std::string PlatformDeviceQuery::inputName(unsigned device, std::string& backend) {
    backend = nameFrom(cvxMidiInGetBackend, device);
    return nameFrom(cvxMidiInGetName, device);
}

std::string PlatformDeviceQuery::outputName(unsigned device, std::string& backend) {
    backend = nameFrom(cvxMidiOutGetBackend, device);
    return nameFrom(cvxMidiOutGetName, device);
}

void numberDuplicateNames(std::vector<std::string>& names) {
    std::set<std::string> taken(names.begin(), names.end());
    std::map<std::string, int> seen;
    for (std::string& name : names) {
        int& count = seen[name];
        if (++count == 1) {
            continue;
        }
        // A device may itself be called "X #2": the suffix skips names in use.
        std::string numbered = name + " #" + std::to_string(count);
        while (taken.count(numbered) != 0) {
            numbered = name + " #" + std::to_string(++count);
        }
        taken.insert(numbered);
        name = numbered;
    }
}

} // namespace corvex
