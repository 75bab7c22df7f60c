// One typed value of the settings store: a 32-bit or 64-bit number, a text or a block of
// bytes. Binary values hold the program's fixed-layout records byte for byte. A plain value
// type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvex {

enum class ValueKind { Dword, Qword, String, Binary };

struct SettingValue {
    ValueKind kind = ValueKind::Dword;
    uint64_t number = 0;        // Dword (low 32 bits) and Qword
    std::string text;           // String: bytes as given, usually UTF-8
    std::vector<uint8_t> bytes; // Binary

    static SettingValue dword(uint32_t value) { return {ValueKind::Dword, value, {}, {}}; }
    static SettingValue qword(uint64_t value) { return {ValueKind::Qword, value, {}, {}}; }
    static SettingValue string(std::string value) {
        return {ValueKind::String, 0, std::move(value), {}};
    }
    static SettingValue binary(std::vector<uint8_t> value) {
        return {ValueKind::Binary, 0, {}, std::move(value)};
    }

    bool operator==(const SettingValue&) const = default;
};

} // namespace corvex
