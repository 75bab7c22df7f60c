#include "sysex_buffer_fields.h"

namespace corvex {

namespace {

uint16_t corrected(long long value, bool& adjusted) {
    if (value <= 0) {
        adjusted = true;
        return 1;
    }
    if (value > 65535) {
        adjusted = true;
        return 65535;
    }
    return static_cast<uint16_t>(value);
}

} // namespace

CorrectedBufferFields correctBufferFields(const SysExBufferFields& fields) {
    CorrectedBufferFields result;
    result.inputSize = corrected(fields.inputSize, result.adjusted);
    result.inputCount = corrected(fields.inputCount, result.adjusted);
    result.outputSize = corrected(fields.outputSize, result.adjusted);
    result.outputCount = corrected(fields.outputCount, result.adjusted);
    return result;
}

} // namespace corvex
