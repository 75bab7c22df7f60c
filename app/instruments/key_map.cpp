#include "instruments/key_map.h"

#include "instruments/trimmed_text.h"

#include "ini/profile_document.h"
#include "ini/profile_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>

namespace corvex {
namespace {

// Sorted by character, so a key is found by a binary search.
constexpr std::array<KeyNote, KeyMap::kKeyCount> kDefaultKeys = {{
    {"QUOTE", '\'', kNoNote},
    {"COMMA", ',', 12},
    {"MINUS", '-', kNoNote},
    {"DOT", '.', 14},
    {"SLASH", '/', 16},
    {"0", '0', 27},
    {"2", '2', 13},
    {"3", '3', 15},
    {"4", '4', kNoNote},
    {"5", '5', 18},
    {"6", '6', 20},
    {"7", '7', 22},
    {"8", '8', kNoNote},
    {"9", '9', 25},
    {"SEMI", ';', 15},
    {"EQ", '=', 30},
    {"B", 'B', 7},
    {"C", 'C', 4},
    {"D", 'D', 3},
    {"E", 'E', 16},
    {"F", 'F', kNoNote},
    {"G", 'G', 6},
    {"H", 'H', 8},
    {"I", 'I', 24},
    {"J", 'J', 10},
    {"K", 'K', kNoNote},
    {"L", 'L', 13},
    {"M", 'M', 11},
    {"N", 'N', 9},
    {"O", 'O', 26},
    {"P", 'P', 28},
    {"Q", 'Q', 12},
    {"R", 'R', 17},
    {"S", 'S', 1},
    {"T", 'T', 19},
    {"U", 'U', 23},
    {"V", 'V', 5},
    {"W", 'W', 14},
    {"X", 'X', 2},
    {"Y", 'Y', 21},
    {"Z", 'Z', 0},
    {"LBKT", '[', 29},
    {"RBKT", ']', 31},
}};

bool sameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

} // namespace

KeyMap::KeyMap() : keys_(kDefaultKeys) {}

int KeyMap::offsetOf(char character) const {
    const auto found = std::ranges::lower_bound(keys_, character, {}, &KeyNote::character);
    return found != keys_.end() && found->character == character ? found->offset : kNoNote;
}

bool KeyMap::setOffset(std::string_view name, int offset) {
    for (KeyNote& key : keys_) {
        if (sameName(key.name, name)) {
            key.offset = offset;
            return true;
        }
    }
    return false;
}

std::optional<int> parseKeyOffset(std::string_view text) {
    text = trimmedText(text);
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || last != end || value < kNoNote || value > 127) {
        return std::nullopt;
    }
    return value;
}

KeyMap readKeyMap(const std::string& path) {
    KeyMap map;
    const cvx::profile::ProfileText file = cvx::profile::readProfileFile(path);
    if (file.status == cvx::profile::ReadStatus::Failed) {
        return map;
    }
    cvx::profile::ProfileDocument document(file.text);
    bool completed = false;
    for (const KeyNote& key : kDefaultKeys) {
        const std::optional<std::string> value = document.value(kKeyMapSection, key.name);
        if (!value) {
            completed |= document.set(kKeyMapSection, key.name, std::to_string(key.offset));
        } else if (const std::optional<int> offset = parseKeyOffset(*value)) {
            map.setOffset(key.name, *offset);
        }
    }
    if (completed) {
        cvx::profile::replaceProfileFile(path, document.text());
    }
    return map;
}

} // namespace corvex
