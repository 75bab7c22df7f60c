#include "shell/mime_apps_list.h"

namespace corvex {
namespace {

constexpr std::string_view kDefaultsGroup = "[Default Applications]";

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool isGroupHeader(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

bool isReadable(std::string_view line) {
    return line.empty() || line.front() == '#' || isGroupHeader(line) ||
           (line.find('=') != std::string_view::npos && line.front() != '=');
}

std::string_view keyOf(std::string_view line) {
    return trimmed(line.substr(0, line.find('=')));
}

} // namespace

MimeAppsList::MimeAppsList(std::string_view text) {
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        const std::string_view line = trimmed(raw);
        if (isReadable(line)) {
            lines_.emplace_back(line);
        } else if (damagedLine_ == 0) {
            damagedLine_ = number;
        }
    }
}

size_t MimeAppsList::groupStart(std::string_view group) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i] == group) {
            return i;
        }
    }
    return lines_.size();
}

std::optional<size_t> MimeAppsList::keyLine(std::string_view group, std::string_view key) const {
    for (size_t i = groupStart(group) + 1; i < lines_.size() && !isGroupHeader(lines_[i]); ++i) {
        if (!lines_[i].empty() && lines_[i].front() != '#' && keyOf(lines_[i]) == key) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> MimeAppsList::defaultFor(std::string_view mimeType) const {
    return valueIn(kDefaultsGroup, mimeType);
}

std::optional<std::string> MimeAppsList::valueIn(std::string_view group,
                                                 std::string_view key) const {
    const std::optional<size_t> line = keyLine(group, key);
    if (!line) {
        return std::nullopt;
    }
    const std::string_view text = lines_[*line];
    return std::string(trimmed(text.substr(text.find('=') + 1)));
}

void MimeAppsList::setDefault(std::string_view mimeType, std::string_view value) {
    std::string line = std::string(mimeType) + "=" + std::string(value);
    if (const std::optional<size_t> at = keyLine(kDefaultsGroup, mimeType)) {
        lines_[*at] = std::move(line);
        return;
    }
    size_t group = groupStart(kDefaultsGroup);
    if (group == lines_.size()) {
        if (!lines_.empty() && !lines_.back().empty()) {
            lines_.emplace_back();
        }
        lines_.emplace_back(kDefaultsGroup);
        group = lines_.size() - 1;
    }
    // After the group's last key, before the blank lines that part it from the next group.
    size_t end = group + 1;
    while (end < lines_.size() && !isGroupHeader(lines_[end])) {
        ++end;
    }
    while (end > group + 1 && lines_[end - 1].empty()) {
        --end;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(end), std::move(line));
}

void MimeAppsList::removeDefault(std::string_view mimeType) {
    if (const std::optional<size_t> at = keyLine(kDefaultsGroup, mimeType)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
    }
}

std::string MimeAppsList::text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += '\n';
    }
    return text;
}

std::string firstDesktopId(std::string_view value) {
    return std::string(trimmed(value.substr(0, value.find(';'))));
}

} // namespace corvex
