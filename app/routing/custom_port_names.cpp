#include "routing/custom_port_names.h"

#include "settings/port_names.h"

#include <set>
#include <utility>

namespace corvex {

namespace {

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

std::string editedName(const PortNameRow& row, const std::string& text) {
    const std::string name = limitPortName(trimmed(text));
    return name.empty() ? row.deviceName : name;
}

std::map<std::string, std::string> customNamesOf(const std::vector<PortNameRow>& rows,
                                                 bool inputs) {
    std::map<std::string, std::string> names;
    for (const PortNameRow& row : rows) {
        if (row.input == inputs && row.shownName != row.deviceName && !row.shownName.empty()) {
            names[row.deviceName] = row.shownName;
        }
    }
    return names;
}

std::optional<std::string> sharedShownName(const std::vector<PortNameRow>& rows) {
    std::set<std::pair<bool, std::string>> seen;
    for (const PortNameRow& row : rows) {
        if (!seen.insert({row.input, row.shownName}).second) {
            return row.shownName;
        }
    }
    return std::nullopt;
}

void writeCustomPortNames(SettingsTree& tree, const std::vector<PortNameRow>& rows) {
    for (const bool inputs : {true, false}) {
        const char* key = inputs ? kCustomInNamesKey : kCustomOutNamesKey;
        const std::map<std::string, std::string> names = customNamesOf(rows, inputs);
        for (const PortNameRow& row : rows) {
            if (row.input != inputs) {
                continue;
            }
            if (auto custom = names.find(row.deviceName); custom != names.end()) {
                tree.setString(key, row.deviceName, custom->second);
            } else {
                tree.removeValue(key, row.deviceName);
            }
        }
    }
}

std::map<std::string, std::string> storedCustomNames(const SettingsTree& tree, bool inputs) {
    const char* key = inputs ? kCustomInNamesKey : kCustomOutNamesKey;
    std::map<std::string, std::string> names;
    for (const std::string& device : tree.valueNames(key)) {
        if (std::optional<std::string> custom = tree.string(key, device)) {
            names[device] = *custom;
        }
    }
    return names;
}

} // namespace corvex
