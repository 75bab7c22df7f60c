// The MIDI service's device lists as the device manager reads them. PlatformDeviceQuery
// asks the service; tests may wrap it to make a query fail.
//
// User-interface thread only.
#pragma once

#include "cvx_platform.h"

#include <string>
#include <vector>

namespace corvex {

class MidiDeviceQuery {
public:
    virtual ~MidiDeviceQuery() = default;

    virtual unsigned inputCount() = 0;
    virtual unsigned outputCount() = 0;
    virtual MMRESULT inputCaps(unsigned device, MIDIINCAPS& caps) = 0;
    virtual MMRESULT outputCaps(unsigned device, MIDIOUTCAPS& caps) = 0;
    // The device's full name (the capabilities hold only 31 bytes of it); empty when
    // unknown. `backend` receives the word of the backend ("virtual", "alsa", "jack").
    virtual std::string inputName(unsigned device, std::string& backend) = 0;
    virtual std::string outputName(unsigned device, std::string& backend) = 0;
};

class PlatformDeviceQuery : public MidiDeviceQuery {
public:
    unsigned inputCount() override;
    unsigned outputCount() override;
    MMRESULT inputCaps(unsigned device, MIDIINCAPS& caps) override;
    MMRESULT outputCaps(unsigned device, MIDIOUTCAPS& caps) override;
    std::string inputName(unsigned device, std::string& backend) override;
    std::string outputName(unsigned device, std::string& backend) override;
};

// Gives the second, third, ... device of the same name the suffix " #2", " #3", ... in list
// order, so that names identify devices.
void numberDuplicateNames(std::vector<std::string>& names);

} // namespace corvex
