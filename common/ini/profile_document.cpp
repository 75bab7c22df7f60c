#include "ini/profile_document.h"

#include "ini/profile_lines.h"

namespace cvx::profile {

namespace {

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool validSection(std::string_view name) {
    return !name.empty() && !hasLineBreak(name) && name.find(']') == std::string_view::npos;
}

bool validKey(std::string_view name) {
    return !name.empty() && !hasLineBreak(name) && name.find('=') == std::string_view::npos &&
           name.front() != '[' && name.front() != ';';
}

std::string keyLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    line += value;
    return line;
}

} // namespace

ProfileDocument::ProfileDocument(std::string_view text) {
    if (text.empty()) {
        return;
    }
    size_t firstBreak = text.find('\n');
    if (firstBreak != std::string_view::npos && firstBreak > 0 && text[firstBreak - 1] == '\r') {
        lineEnd_ = "\r\n";
    }
    finalLineEnd_ = text.back() == '\n';
    if (finalLineEnd_) {
        text.remove_suffix(1);
    }
    size_t start = 0;
    while (true) {
        size_t end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines_.emplace_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
}

std::optional<ProfileDocument::Range> ProfileDocument::findSection(std::string_view section) const {
    section = trimBlanks(section);
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::optional<std::string_view> name = sectionNameOf(lines_[i]);
        if (!name || !equalNoCase(*name, section)) {
            continue;
        }
        size_t end = i + 1;
        while (end < lines_.size() && !sectionNameOf(lines_[end])) {
            ++end;
        }
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> ProfileDocument::findKey(const Range& range, std::string_view key) const {
    key = trimBlanks(key);
    for (size_t i = range.header + 1; i < range.end; ++i) {
        std::optional<std::string_view> name = keyNameOf(lines_[i]);
        if (name && equalNoCase(*name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const {
    std::optional<Range> range = findSection(section);
    std::optional<size_t> line = range ? findKey(*range, key) : std::nullopt;
    if (!line) {
        return std::nullopt;
    }
    return std::string(valueOf(lines_[*line]));
}

bool ProfileDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (!validSection(section) || !validKey(key) || hasLineBreak(value)) {
        return false;
    }
    std::optional<Range> range = findSection(section);
    if (!range) {
        appendSection(section, key, value);
        return true;
    }
    if (std::optional<size_t> line = findKey(*range, key)) {
        std::string updated(valuePrefixOf(lines_[*line]));
        lines_[*line] = updated.append(value);
        return true;
    }
    // After the section's last key, so comments that lead into the next section stay there.
    size_t insertAt = range->header + 1;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        if (keyNameOf(lines_[i])) {
            insertAt = i + 1;
        }
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine(key, value));
    return true;
}

void ProfileDocument::appendSection(std::string_view section, std::string_view key,
                                    std::string_view value) {
    if (!lines_.empty() && !trimBlanks(lines_.back()).empty()) {
        lines_.emplace_back();
    }
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(keyLine(key, value));
    finalLineEnd_ = true;
}

bool ProfileDocument::remove(std::string_view section, std::string_view key) {
    std::optional<Range> range = findSection(section);
    std::optional<size_t> line = range ? findKey(*range, key) : std::nullopt;
    if (!line) {
        return false;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
    return true;
}

std::string ProfileDocument::text() const {
    std::string text;
    for (size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i];
        if (i + 1 < lines_.size() || finalLineEnd_) {
            text += lineEnd_;
        }
    }
    return text;
}

} // namespace cvx::profile
