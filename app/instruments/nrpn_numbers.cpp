#include "instruments/nrpn_numbers.h"

#include "instruments/trimmed_text.h"

#include <algorithm>
#include <cstdio>

namespace corvex {
namespace {

// Above every field's maximum, so longer numbers need not be read further.
constexpr int kSaturated = 1 << 20;

int digitValue(char c, NumberBase base) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (base == NumberBase::Hex && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (base == NumberBase::Hex && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

int parseNrpnText(std::string_view text, NumberBase base) {
    const int radix = base == NumberBase::Hex ? 16 : 10;
    int number = 0;
    for (char c : trimmedText(text)) {
        const int digit = digitValue(c, base);
        if (digit < 0) {
            return -1;
        }
        number = std::min(number * radix + digit, kSaturated);
    }
    return number;
}

std::string formatNrpnField(int number, NrpnField field, NumberBase base) {
    char text[16];
    if (base == NumberBase::Decimal) {
        std::snprintf(text, sizeof text, "%d", number);
    } else {
        std::snprintf(text, sizeof text, field == NrpnField::Value ? "%04X" : "%02X", number);
    }
    return text;
}

int nrpnFieldMaximum(NrpnField field) {
    return field == NrpnField::Value ? kMaxNrpnValue : kMaxDataByte;
}

CheckedField checkNrpnField(std::string_view text, NrpnField field, NumberBase base) {
    const int number = parseNrpnText(text, base);
    const int bounded = std::clamp(number, 0, nrpnFieldMaximum(field));
    return {bounded, bounded != number};
}

void NrpnNumbers::setPair(int newMsb, int newLsb) {
    msb = newMsb;
    lsb = newLsb;
    value = msb * 128 + lsb;
}

void NrpnNumbers::setValue(int newValue) {
    value = newValue;
    msb = value >> 7;
    lsb = value & 0x7F;
}

int NrpnNumbers::field(NrpnField which) const {
    switch (which) {
    case NrpnField::Msb:
        return msb;
    case NrpnField::Lsb:
        return lsb;
    case NrpnField::Value:
        break;
    }
    return value;
}

} // namespace corvex
