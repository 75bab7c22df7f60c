#include "mapping/profile_map.h"

#include "ini/profile_file.h"
#include "ini/profile_strings.h"
#include "mapping/hex_text.h"
#include "mapping/legacy_map_formats.h"
#include "mapping/map_capacity.h"
#include "mapping/printf_text.h"
#include "mapping/text_compare.h"

#include <array>
#include <optional>
#include <vector>

namespace corvex {

namespace {

using cvx::profile::ProfileDocument;

constexpr int kWrittenVersion = 5;
constexpr char kDefaultItem[] = "255,255,65535,65535,65535,65535,255,255,65535,65535,65535,65535,0";
constexpr char kDefaultItemV2[] = "255,255,255,255,255,255,255,255,255,255,255,255,255,255,0";

std::string itemKey(size_t n) {
    return printfText("Map%zu", n);
}

std::string sysexKey(size_t n) {
    return printfText("Syx%zu", n);
}

std::string itemNumbers(const MapItem& item) {
    return printfText("%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", item.sourceChannel,
                      item.sourceMessage, item.sourceV1Min, item.sourceV1Max, item.sourceV2Min,
                      item.sourceV2Max, item.targetChannel, item.targetMessage, item.targetV1Min,
                      item.targetV1Max, item.targetV2Min, item.targetV2Max, item.itemFlags);
}

std::vector<std::string_view> splitAtCommas(std::string_view text) {
    std::vector<std::string_view> tokens;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        tokens.push_back(trimBlanks(text.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            return tokens;
        }
        start = comma + 1;
    }
}

// A whole decimal number within [0, max].
std::optional<unsigned> boundedNumber(std::string_view token, unsigned max) {
    if (token.empty() || token.size() > 6) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char c : token) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + unsigned(c - '0');
    }
    return value <= max ? std::optional(value) : std::nullopt;
}

// The thirteen fields of the current layout, each within its width.
std::optional<MapItem> currentItem(const std::vector<std::string_view>& tokens) {
    constexpr std::array<unsigned, 13> kMax = {255, 255,   65535, 65535, 65535, 65535, 255,
                                               255, 65535, 65535, 65535, 65535, 65535};
    std::array<unsigned, 13> v{};
    for (size_t i = 0; i < v.size(); ++i) {
        auto number = i < tokens.size() ? boundedNumber(tokens[i], kMax[i]) : std::nullopt;
        if (!number) {
            return std::nullopt;
        }
        v[i] = *number;
    }
    MapItem item{};
    item.sourceChannel = static_cast<uint8_t>(v[0]);
    item.sourceMessage = static_cast<uint8_t>(v[1]);
    item.sourceV1Min = static_cast<uint16_t>(v[2]);
    item.sourceV1Max = static_cast<uint16_t>(v[3]);
    item.sourceV2Min = static_cast<uint16_t>(v[4]);
    item.sourceV2Max = static_cast<uint16_t>(v[5]);
    item.targetChannel = static_cast<uint8_t>(v[6]);
    item.targetMessage = static_cast<uint8_t>(v[7]);
    item.targetV1Min = static_cast<uint16_t>(v[8]);
    item.targetV1Max = static_cast<uint16_t>(v[9]);
    item.targetV2Min = static_cast<uint16_t>(v[10]);
    item.targetV2Max = static_cast<uint16_t>(v[11]);
    item.itemFlags = static_cast<uint16_t>(v[12]);
    return item;
}

// Version 2: fourteen byte fields laid out as a 16-byte record, then the flags.
std::optional<MapItem> version2Item(const std::vector<std::string_view>& tokens) {
    std::array<uint8_t, kRecord16Size> record{};
    for (size_t i = 0; i < 14; ++i) {
        auto number = i < tokens.size() ? boundedNumber(tokens[i], 255) : std::nullopt;
        if (!number) {
            return std::nullopt;
        }
        record[i] = static_cast<uint8_t>(*number);
    }
    auto flags = tokens.size() > 14 ? boundedNumber(tokens[14], 65535) : std::nullopt;
    if (!flags) {
        return std::nullopt;
    }
    record[14] = static_cast<uint8_t>(*flags & 0xFF);
    record[15] = static_cast<uint8_t>(*flags >> 8);
    return itemFromRecord16(record, false);
}

class ProfileMapReader {
public:
    ProfileMapReader(const ProfileDocument& profile, std::string_view section,
                     const std::string& name, int version)
        : profile_(profile), section_(section), name_(name), version_(version) {}

    // The row of item n, or nothing (and a problem) when its key cannot be read.
    std::optional<MapRow> row(size_t n) {
        std::string key = itemKey(n);
        std::string text =
            profile_.value(section_, key).value_or(version_ == 2 ? kDefaultItemV2 : kDefaultItem);
        std::vector<std::string_view> tokens = splitAtCommas(text);
        std::optional<MapItem> item = version_ == 2 ? version2Item(tokens) : currentItem(tokens);
        if (!item) {
            problem(key, text);
            return std::nullopt;
        }
        MapRow row{*item, {}};
        size_t sysexToken = version_ == 2 ? 15 : 13;
        if (tokens.size() > sysexToken && !tokens[sysexToken].empty()) {
            std::string hex = profile_.value(section_, tokens[sysexToken]).value_or("");
            HexTextReading reading = parseHexText(hex, MAP_SYSEX_STRING_MAX);
            if (reading.end != HexTextReading::End::Complete) {
                problem(std::string(tokens[sysexToken]), hex);
                return std::nullopt;
            }
            row.sysex = std::move(reading.bytes);
        }
        return row;
    }

    std::vector<std::string>& problems() { return problems_; }

private:
    void problem(const std::string& key, const std::string& value) {
        problems_.push_back(printfText("'%s', [%s] %s: not understood: '%s'", name_.c_str(),
                                       std::string(section_).c_str(), key.c_str(), value.c_str()));
    }

    const ProfileDocument& profile_;
    std::string_view section_;
    const std::string& name_;
    int version_;
    std::vector<std::string> problems_;
};

} // namespace

void writeProfileMap(const DataMap& map, ProfileDocument& profile, std::string_view section) {
    int previousCount = cvx::profile::profileIntOf(profile, section, "MapCount", 0);
    std::span<const MapItem> items = map.items();
    profile.set(section, "MapVersion", std::to_string(kWrittenVersion));
    profile.set(section, "MapIsOn", std::to_string(map.isOn));
    profile.set(section, "MapKeys", std::to_string(map.keys));
    profile.set(section, "Map Flags", std::to_string(map.options));
    profile.set(section, "MapCount", std::to_string(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        size_t n = i + 1;
        std::span<const uint8_t> entry = map.sysexOf(i);
        if (entry.empty()) {
            profile.set(section, itemKey(n), itemNumbers(items[i]));
            profile.remove(section, sysexKey(n));
        } else {
            profile.set(section, itemKey(n), itemNumbers(items[i]) + "," + sysexKey(n));
            profile.set(section, sysexKey(n), formatHexText(entry));
        }
    }
    for (size_t n = items.size() + 1; n <= size_t(std::max(previousCount, 0)); ++n) {
        profile.remove(section, itemKey(n));
        profile.remove(section, sysexKey(n));
    }
}

MapFileResult readProfileMap(DataMap& map, const ProfileDocument& profile, std::string_view section,
                             const std::string& name) {
    MapFileResult result;
    int version = cvx::profile::profileIntOf(profile, section, "MapVersion", 0);
    if (version < 2 || version > 5) {
        return result;
    }
    int count = std::max(cvx::profile::profileIntOf(profile, section, "MapCount", 0), 0);
    if (size_t(count) > kMaxMapItems) {
        result.message =
            printfText("'%s', [%s]: the map has %d items; a data map holds at most "
                       "%zu.",
                       name.c_str(), std::string(section).c_str(), count, kMaxMapItems);
        return result;
    }
    ProfileMapReader reader(profile, section, name, version);
    std::vector<MapRow> rows;
    for (size_t n = 1; n <= size_t(count); ++n) {
        if (std::optional<MapRow> row = reader.row(n)) {
            rows.push_back(std::move(*row));
        }
    }
    result.problems = std::move(reader.problems());
    result.message = mapCapacityProblem(map, rows, false, name);
    if (!result.message.empty()) {
        return result;
    }
    map.isOn = static_cast<int16_t>(cvx::profile::profileIntOf(profile, section, "MapIsOn", 0));
    map.keys = static_cast<int16_t>(cvx::profile::profileIntOf(profile, section, "MapKeys", 0));
    map.options =
        static_cast<uint16_t>(cvx::profile::profileIntOf(profile, section, "Map Flags", 0));
    map.load(rows, false);
    result.ok = true;
    return result;
}

MapFileResult readProfileMapFile(DataMap& map, const std::string& path, std::string_view section) {
    return readProfileMap(map, cvx::profile::loadProfileDocument(path), section, path);
}

MapFileResult writeProfileMapFile(const DataMap& map, const std::string& path,
                                  std::string_view section) {
    MapFileResult result;
    cvx::profile::ProfileText text = cvx::profile::readProfileFile(path);
    if (text.status == cvx::profile::ReadStatus::Failed) {
        result.message = printfText("File Creation Failed: '%s'", path.c_str());
        return result;
    }
    ProfileDocument profile(text.text);
    writeProfileMap(map, profile, section);
    result.ok = cvx::profile::replaceProfileFile(path, profile.text());
    if (!result.ok) {
        result.message = printfText("File Creation Failed: '%s'", path.c_str());
    }
    return result;
}

} // namespace corvex
