#include "ini/profile_lines.h"

#include <cctype>

namespace cvx::profile {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

size_t skipBlanks(std::string_view text, size_t from) {
    while (from < text.size() && isBlank(text[from])) {
        ++from;
    }
    return from;
}

} // namespace

std::string_view trimBlanks(std::string_view text) {
    size_t first = skipBlanks(text, 0);
    size_t last = text.size();
    while (last > first && isBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<std::string_view> sectionNameOf(std::string_view line) {
    std::string_view trimmed = trimBlanks(line);
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    std::string_view inside = trimmed.substr(1);
    size_t close = inside.rfind(']');
    return trimBlanks(close == std::string_view::npos ? inside : inside.substr(0, close));
}

std::optional<std::string_view> keyNameOf(std::string_view line) {
    std::string_view trimmed = trimBlanks(line);
    if (trimmed.empty() || trimmed.front() == '[' || trimmed.front() == ';') {
        return std::nullopt;
    }
    size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return trimBlanks(trimmed.substr(0, equals));
}

std::string_view valueOf(std::string_view line) {
    std::string_view value = trimBlanks(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string_view valuePrefixOf(std::string_view line) {
    return line.substr(0, skipBlanks(line, line.find('=') + 1));
}

} // namespace cvx::profile
