// What "OK" of the SysEx "Configure" dialog makes of the typed fields: the check boxes as
// they stand; each of the four buffer numbers that reads as a number and differs from the
// current value, clamped to 1-65535; the after-F7 delay (only while its box is checked) and
// the buffer delay when they read as numbers, clamped to 0-10,000 ms. A clamped number marks
// the form as adjusted ("Out of Range Values Adjusted."). Pure: any thread.
#pragma once

#include "sysex/sysex_transfer_settings.h"

#include <cstdint>
#include <string>

namespace corvex {

// The four buffer numbers the dialog shows (a copy of the device layer's SysEx buffers).
struct SysExBufferNumbers {
    uint16_t inputSize = 8192;
    uint16_t inputCount = 8;
    uint16_t outputSize = 8192;
    uint16_t outputCount = 8;
    bool operator==(const SysExBufferNumbers&) const = default;
};

struct SysExConfigureForm {
    std::string inputSize, inputCount, outputSize, outputCount;
    std::string bufferDelay, afterF7Delay;
    bool delayAfterF7 = true;
    bool autoDelay = false;
    bool noWarningsToSave = false;
    bool append = false;
    bool fillDisplay = false;
    bool colorF7 = true;
    bool saveDirectlyToFile = false;
};

struct SysExConfigureResult {
    SysExTransferSettings settings;
    bool append = false;
    SysExBufferNumbers buffers;
    bool buffersChanged = false;
    bool adjusted = false;
};

SysExConfigureForm configureFormOf(const SysExTransferSettings& settings, bool append,
                                   const SysExBufferNumbers& buffers);

SysExConfigureResult acceptConfigureForm(const SysExConfigureForm& form,
                                         const SysExTransferSettings& settings,
                                         const SysExBufferNumbers& buffers);

} // namespace corvex
