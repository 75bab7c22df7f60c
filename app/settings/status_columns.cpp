#include "status_columns.h"

#include "number_list.h"

#include <bitset>

namespace corvex {

namespace {

constexpr size_t kFirstHiddenByDefault = 20; // items 20..135 are not shown by default

uint16_t getU16(const uint8_t* in) {
    return static_cast<uint16_t>(in[0] | in[1] << 8);
}

void putU16(uint8_t* out, uint16_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

} // namespace

StatusColumns defaultStatusColumns() {
    // Chan, Bank, Patch, Volume, Exprsn, Pan, Bend, Modn, Breath, Foot, Ctl 21..24, Thumby,
    // Reverb, Chorus, Harmnc, Release, Attack, Bright, Celeste, NRPN, NRPN Value,
    // Bend Range, Pedal, then 26..135.
    constexpr std::array<uint16_t, 26> kLeading = {0,  1,  2,  3,  4,  5,  6,  7, 19,
                                                   20, 21, 22, 23, 24, 25, 8,  9, 10,
                                                   11, 12, 13, 14, 15, 16, 17, 18};
    StatusColumns columns{};
    size_t next = 0;
    for (uint16_t item : kLeading) {
        columns[next++] = {item, item < kFirstHiddenByDefault};
    }
    for (uint16_t item = static_cast<uint16_t>(kLeading.size()); item < kStatusItemCount; ++item) {
        columns[next++] = {item, false};
    }
    return columns;
}

bool isValidStatusColumns(const StatusColumns& columns) {
    std::bitset<kStatusItemCount> seen;
    for (const StatusColumn& column : columns) {
        if (column.item >= kStatusItemCount || seen.test(column.item)) {
            return false;
        }
        seen.set(column.item);
    }
    return columns[0].item == 0 && columns[0].shown;
}

std::array<uint8_t, kStatusColumnBytes> encodeStatusColumns(const StatusColumns& columns) {
    std::array<uint8_t, kStatusColumnBytes> bytes{};
    putU16(&bytes[0], kStatusItemCount);
    for (size_t i = 0; i < kStatusItemCount; ++i) {
        putU16(&bytes[2 + 4 * i], columns[i].item);
        putU16(&bytes[4 + 4 * i], columns[i].shown ? 1 : 0);
    }
    return bytes;
}

std::optional<StatusColumns> decodeStatusColumns(std::span<const uint8_t> bytes) {
    if (bytes.size() != kStatusColumnBytes || getU16(&bytes[0]) != kStatusItemCount) {
        return std::nullopt;
    }
    StatusColumns columns{};
    for (size_t i = 0; i < kStatusItemCount; ++i) {
        columns[i] = {getU16(&bytes[2 + 4 * i]), getU16(&bytes[4 + 4 * i]) != 0};
    }
    return isValidStatusColumns(columns) ? std::optional(columns) : std::nullopt;
}

std::string statusColumnsText(const StatusColumns& columns) {
    std::string text;
    for (const StatusColumn& column : columns) {
        text += text.empty() ? "" : ",";
        text += std::to_string(column.item) + (column.shown ? ",1" : ",0");
    }
    return text;
}

std::optional<StatusColumns> parseStatusColumns(int count, std::string_view text) {
    if (count != static_cast<int>(kStatusItemCount)) {
        return std::nullopt;
    }
    std::vector<long long> numbers = leadingNumbers(text, 2 * kStatusItemCount);
    if (numbers.size() != 2 * kStatusItemCount) {
        return std::nullopt;
    }
    StatusColumns columns{};
    for (size_t i = 0; i < kStatusItemCount; ++i) {
        long long item = numbers[2 * i];
        if (item < 0 || item >= static_cast<long long>(kStatusItemCount)) {
            return std::nullopt;
        }
        columns[i] = {static_cast<uint16_t>(item), numbers[2 * i + 1] != 0};
    }
    return isValidStatusColumns(columns) ? std::optional(columns) : std::nullopt;
}

} // namespace corvex
