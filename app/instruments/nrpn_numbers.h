// The NRPN calculator's arithmetic: a 7-bit MSB and LSB against the 14-bit value, each
// field read and written in decimal or hexadecimal, with out-of-range entries moved to the
// nearest bound.
//
// Threads: any (pure functions and a plain value).
#pragma once

#include <string>
#include <string_view>

namespace corvex {

enum class NumberBase { Decimal, Hex };
enum class NrpnField { Msb, Lsb, Value };

inline constexpr int kMaxDataByte = 127;
inline constexpr int kMaxNrpnValue = 16383;

// The field's text: trimmed, digits of the base only (empty reads as 0); -1 when it is not
// such a number. Very long numbers read as a number above every field's range.
int parseNrpnText(std::string_view text, NumberBase base);

// "%d" in decimal; "%02X" (MSB, LSB) or "%04X" (value) in hexadecimal.
std::string formatNrpnField(int number, NrpnField field, NumberBase base);

int nrpnFieldMaximum(NrpnField field);

struct CheckedField {
    int number = 0;
    bool corrected = false; // the text was not a number in range: `number` is the nearest bound
};
CheckedField checkNrpnField(std::string_view text, NrpnField field, NumberBase base);

// What the calculator holds while the program runs.
struct NrpnNumbers {
    NumberBase base = NumberBase::Decimal;
    int msb = 0;
    int lsb = 0;
    int value = 0;

    void setPair(int newMsb, int newLsb); // the value follows
    void setValue(int newValue);          // MSB and LSB follow
    int field(NrpnField which) const;
};

} // namespace corvex
