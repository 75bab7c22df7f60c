// The fields of the "Configure SysEx Buffers" dialog as the user typed them, corrected to
// what can be stored.
// Any thread (no state).
#pragma once

#include <cstdint>

namespace corvex {

struct SysExBufferFields {
    long long inputSize = 0;
    long long inputCount = 0;
    long long outputSize = 0;
    long long outputCount = 0;
};

struct CorrectedBufferFields {
    uint16_t inputSize = 1;
    uint16_t inputCount = 1;
    uint16_t outputSize = 1;
    uint16_t outputCount = 1;
    bool adjusted = false; // "Out of Range Values Adjusted." is due
};

// Each value of 0 or less becomes 1, each above 65535 becomes 65535.
CorrectedBufferFields correctBufferFields(const SysExBufferFields& fields);

} // namespace corvex
