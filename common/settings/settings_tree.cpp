#include "settings/settings_tree.h"

#include <algorithm>
#include <set>

namespace corvex {

namespace {

constexpr size_t kMaxKeyPathBytes = 1024;

char foldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string folded(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), foldCase);
    return result;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldCase(x) == foldCase(y);
           });
}

bool isControl(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

size_t valueSize(const SettingValue& value) {
    switch (value.kind) {
    case ValueKind::String:
        return value.text.size();
    case ValueKind::Binary:
        return value.bytes.size();
    default:
        return 0;
    }
}

} // namespace

std::optional<std::string> normalKeyPath(std::string_view path) {
    if (path.size() > kMaxKeyPathBytes) {
        return std::nullopt;
    }
    std::string result;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        std::string_view component = path.substr(start, end - start);
        if (std::any_of(component.begin(), component.end(), isControl)) {
            return std::nullopt;
        }
        if (!component.empty()) {
            if (!result.empty()) {
                result += '\\';
            }
            result += component;
        }
        start = end + 1;
    }
    return result;
}

std::string joinKeyPath(std::string_view parent, std::string_view child) {
    if (parent.empty()) {
        return std::string(child);
    }
    if (child.empty()) {
        return std::string(parent);
    }
    return std::string(parent) + '\\' + std::string(child);
}

const SettingsTree::Key* SettingsTree::findKey(std::string_view key) const {
    std::optional<std::string> path = normalKeyPath(key);
    if (!path) {
        return nullptr;
    }
    auto found = keys_.find(folded(*path));
    return found == keys_.end() ? nullptr : &found->second;
}

SettingsTree::Key* SettingsTree::findKey(std::string_view key) {
    return const_cast<Key*>(std::as_const(*this).findKey(key));
}

SettingsTree::Key* SettingsTree::makeKey(std::string_view key) {
    std::optional<std::string> path = normalKeyPath(key);
    if (!path) {
        return nullptr;
    }
    auto [slot, added] = keys_.try_emplace(folded(*path));
    if (added) {
        slot->second.path = *path;
    }
    return &slot->second;
}

const SettingValue* SettingsTree::value(std::string_view key, std::string_view name) const {
    const Key* found = findKey(key);
    if (found == nullptr) {
        return nullptr;
    }
    for (const auto& [valueName, value] : found->values) {
        if (sameName(valueName, name)) {
            return &value;
        }
    }
    return nullptr;
}

std::optional<uint32_t> SettingsTree::dword(std::string_view key, std::string_view name) const {
    const SettingValue* found = value(key, name);
    if (found == nullptr || found->kind != ValueKind::Dword) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(found->number);
}

std::optional<uint64_t> SettingsTree::qword(std::string_view key, std::string_view name) const {
    const SettingValue* found = value(key, name);
    if (found == nullptr || found->kind != ValueKind::Qword) {
        return std::nullopt;
    }
    return found->number;
}

std::optional<std::string> SettingsTree::string(std::string_view key, std::string_view name) const {
    const SettingValue* found = value(key, name);
    if (found == nullptr || found->kind != ValueKind::String) {
        return std::nullopt;
    }
    return found->text;
}

std::optional<std::vector<uint8_t>> SettingsTree::binary(std::string_view key,
                                                         std::string_view name, size_t size) const {
    std::optional<std::vector<uint8_t>> bytes = anyBinary(key, name);
    if (!bytes || bytes->size() != size) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::vector<uint8_t>> SettingsTree::anyBinary(std::string_view key,
                                                            std::string_view name) const {
    const SettingValue* found = value(key, name);
    if (found == nullptr || found->kind != ValueKind::Binary) {
        return std::nullopt;
    }
    return found->bytes;
}

bool SettingsTree::set(std::string_view key, std::string_view name, SettingValue value) {
    if (valueSize(value) > kMaxSettingBytes || name.size() > kMaxSettingBytes) {
        return false;
    }
    Key* target = makeKey(key);
    if (target == nullptr) {
        return false;
    }
    for (auto& [valueName, stored] : target->values) {
        if (sameName(valueName, name)) {
            stored = std::move(value);
            return true;
        }
    }
    target->values.emplace_back(std::string(name), std::move(value));
    return true;
}

bool SettingsTree::setDword(std::string_view key, std::string_view name, uint32_t value) {
    return set(key, name, SettingValue::dword(value));
}

bool SettingsTree::setQword(std::string_view key, std::string_view name, uint64_t value) {
    return set(key, name, SettingValue::qword(value));
}

bool SettingsTree::setString(std::string_view key, std::string_view name, std::string_view value) {
    return set(key, name, SettingValue::string(std::string(value)));
}

bool SettingsTree::setBinary(std::string_view key, std::string_view name, const void* data,
                             size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    return set(key, name, SettingValue::binary(std::vector<uint8_t>(bytes, bytes + size)));
}

bool SettingsTree::createKey(std::string_view key) {
    return makeKey(key) != nullptr;
}

bool SettingsTree::hasKey(std::string_view key) const {
    if (findKey(key) != nullptr) {
        return true;
    }
    std::optional<std::string> path = normalKeyPath(key);
    return path && (path->empty() ? !keys_.empty() : !subkeys(key).empty());
}

bool SettingsTree::removeValue(std::string_view key, std::string_view name) {
    Key* found = findKey(key);
    if (found == nullptr) {
        return false;
    }
    auto& values = found->values;
    auto match = std::find_if(values.begin(), values.end(),
                              [&](const auto& entry) { return sameName(entry.first, name); });
    if (match == values.end()) {
        return false;
    }
    values.erase(match);
    return true;
}

bool SettingsTree::removeKey(std::string_view key) {
    std::optional<std::string> path = normalKeyPath(key);
    if (!path) {
        return false;
    }
    std::string self = folded(*path);
    std::string below = self.empty() ? std::string() : self + '\\';
    size_t before = keys_.size();
    std::erase_if(keys_, [&](const auto& entry) {
        return entry.first == self || entry.first.starts_with(below);
    });
    return keys_.size() != before;
}

std::vector<std::string> SettingsTree::subkeys(std::string_view key) const {
    std::vector<std::string> names;
    std::optional<std::string> path = normalKeyPath(key);
    if (!path) {
        return names;
    }
    std::string prefix = path->empty() ? std::string() : folded(*path) + '\\';
    std::set<std::string> seen;
    for (auto entry = keys_.lower_bound(prefix);
         entry != keys_.end() && entry->first.starts_with(prefix); ++entry) {
        if (entry->first.size() == prefix.size()) {
            continue;
        }
        std::string_view rest = std::string_view(entry->second.path).substr(prefix.size());
        std::string_view child = rest.substr(0, rest.find('\\'));
        if (seen.insert(folded(child)).second) {
            names.emplace_back(child);
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return folded(a) < folded(b); });
    return names;
}

std::vector<std::string> SettingsTree::valueNames(std::string_view key) const {
    std::vector<std::string> names;
    if (const Key* found = findKey(key)) {
        for (const auto& entry : found->values) {
            names.push_back(entry.first);
        }
    }
    return names;
}

std::vector<const SettingsTree::Key*> SettingsTree::keys() const {
    std::vector<const Key*> result;
    result.reserve(keys_.size());
    for (const auto& entry : keys_) {
        result.push_back(&entry.second);
    }
    return result;
}

bool SettingsTree::operator==(const SettingsTree& other) const {
    if (keys_.size() != other.keys_.size()) {
        return false;
    }
    return std::equal(keys_.begin(), keys_.end(), other.keys_.begin(),
                      [](const auto& a, const auto& b) {
                          return a.first == b.first && a.second.values == b.second.values;
                      });
}

} // namespace corvex
