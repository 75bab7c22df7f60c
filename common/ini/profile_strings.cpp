#include "ini/profile_strings.h"

#include "ini/profile_document.h"
#include "ini/profile_file.h"
#include "ini/profile_lines.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace cvx::profile {

ProfileDocument loadProfileDocument(const std::string& path) {
    ProfileText file = readProfileFile(path);
    return ProfileDocument(file.status == ReadStatus::Read ? file.text : std::string());
}

std::string readProfileString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view fallback) {
    std::optional<std::string> value = loadProfileDocument(path).value(section, key);
    return value ? *value : std::string(fallback);
}

int readProfileInt(const std::string& path, std::string_view section, std::string_view key,
                   int fallback) {
    return profileIntOf(loadProfileDocument(path), section, key, fallback);
}

int profileIntOf(const ProfileDocument& document, std::string_view section, std::string_view key,
                 int fallback) {
    std::optional<std::string> value = document.value(section, key);
    return value && !value->empty() ? parseProfileInt(*value) : fallback;
}

bool writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                        const char* value) {
    ProfileText file = readProfileFile(path);
    if (file.status == ReadStatus::Failed) {
        return false;
    }
    ProfileDocument document(file.text);
    if (value == nullptr) {
        return !document.remove(section, key) || replaceProfileFile(path, document.text());
    }
    return document.set(section, key, value) && replaceProfileFile(path, document.text());
}

int parseProfileInt(std::string_view value) {
    value = trimBlanks(value);
    bool negative = !value.empty() && value.front() == '-';
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        value.remove_prefix(1);
    }
    long long magnitude = 0;
    for (char c : value) {
        if (c < '0' || c > '9') {
            break;
        }
        magnitude = std::min<long long>(magnitude * 10 + (c - '0'), LLONG_MAX / 100);
    }
    long long signedValue = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(signedValue, INT_MIN, INT_MAX));
}

} // namespace cvx::profile
