#include "port_names.h"

#include "settings/utf8_text.h"
#include "settings_profile.h"

#include "ini/profile_lines.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace corvex {

std::string limitPortName(std::string_view name) {
    size_t length = 0;
    while (length < name.size()) {
        size_t step = std::max<size_t>(utf8SequenceLength(name.substr(length)), 1);
        if (length + step > kMaxPortNameLength) {
            break;
        }
        length += step;
    }
    return std::string(name.substr(0, length));
}

std::string portDataMapName(int output, int input) {
    std::string name = "DataMap_Out" + std::to_string(output);
    return input == 0 ? name + "_CVX" : name + "_In" + std::to_string(input);
}

bool isUsablePortDataMap(const std::string& path) {
    std::error_code error;
    return !path.empty() && path != kNoPortDataMap && std::filesystem::is_regular_file(path, error);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return cvx::profile::equalNoCase(a, b);
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string numberedName(std::string_view prefix, size_t number) {
    return std::string(prefix) + std::to_string(number);
}

bool isNumberedName(std::string_view name, std::string_view prefix) {
    if (name.size() <= prefix.size() || !startsWithNoCase(name, prefix)) {
        return false;
    }
    std::string_view digits = name.substr(prefix.size());
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace corvex
