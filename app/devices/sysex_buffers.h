// The SysEx buffers of the open ports: the configuration ("Pass SysEx", the count and size of
// the input and of the output buffers), giving every open port its buffers in rounds, and
// taking all of a direction back when one could not be had (SysEx is switched off then).
// The minimums (count 2; size 256 instead of 0) are enforced, each with its message, when
// SysEx is switched on and when ports open with SysEx on.
//
// User-interface thread only.
#pragma once

#include "device_roster.h"
#include "device_settings.h"
#include "device_user_interface.h"

#include <cstdint>

namespace corvex {

class SysExBuffers {
public:
    SysExBuffers(DeviceRoster& roster, DeviceUserInterface& ui) : roster_(roster), ui_(ui) {}

    const SysExBufferConfig& config() const { return config_; }
    // The stored configuration; the ports' buffers are not touched.
    void configure(const SysExBufferConfig& config) { config_ = config; }

    // A configuration from elsewhere (a loaded profile), open ports or not: the buffers are
    // taken back, the counts and sizes stored, and "Pass SysEx" follows the configuration
    // (its check too), with new buffers when it is on. False when they could not be had.
    bool apply(const SysExBufferConfig& config);
    // Enforces the minimums and gives every open port its buffers; false (and SysEx off)
    // when the buffers could not all be had.
    bool switchOn();
    // Takes every buffer back and switches SysEx off.
    void switchOff();
    // Stores new buffer counts and sizes, renewing the buffers when SysEx is on; false when
    // the renewal failed ("Could not SetBuffer Sizes." was shown).
    bool setSizes(uint16_t inputCount, uint16_t inputSize, uint16_t outputCount,
                  uint16_t outputSize);

    // While the ports open, with SysEx on: every open input gets its buffers; every open
    // output that some connected input (or the generated-event port) passes SysEx to gets
    // its buffers. A shortage switches SysEx off.
    void giveOpenedInputs();
    void giveOpenedOutputs();

private:
    void enforceInputMinimums();
    void enforceOutputMinimums();
    bool giveInputBuffers();
    bool giveOutputBuffers(bool onlyWhereNeeded);
    bool outputNeedsSysEx(const CMidiOut& output) const;
    void releaseInputBuffers();
    void releaseOutputBuffers();
    void setEnabled(bool on);
    void changed(const SysExBufferConfig& before);

    DeviceRoster& roster_;
    DeviceUserInterface& ui_;
    SysExBufferConfig config_;
};

} // namespace corvex
