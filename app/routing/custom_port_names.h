// The user's own display names for ports, as the "Customize Port Names" list edits them: one
// row per input and then per output, the device name beside the shown name. Stored under
// "Custom In Names" and "Custom Out Names", one string value per device name; a custom name
// equal to the device name is no custom name and is not stored.
//
// Plain values and functions: user-interface thread only.
#pragma once

#include "settings/settings_tree.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvex {

inline constexpr char kCustomInNamesKey[] = "Custom In Names";
inline constexpr char kCustomOutNamesKey[] = "Custom Out Names";

struct PortNameRow {
    bool input = true;
    std::string deviceName;
    std::string shownName; // the custom name, or the device name when there is none

    bool operator==(const PortNameRow&) const = default;
};

// The name an edit of `row` leaves: the text without surrounding blanks, cut to the longest
// port name; an edit that ends empty puts the device name back.
std::string editedName(const PortNameRow& row, const std::string& text);

// The custom names of the rows by device name, for one direction; rows whose shown name is
// their device name have none.
std::map<std::string, std::string> customNamesOf(const std::vector<PortNameRow>& rows, bool inputs);

// A shown name two rows of the same direction share, if any: ports are found by the name
// they are shown with, so two ports must not be given the same one.
std::optional<std::string> sharedShownName(const std::vector<PortNameRow>& rows);

// Writes the rows' custom names and removes the stored name of every listed device that has
// none now. Names of devices not listed (absent at the moment) are kept for their return.
void writeCustomPortNames(SettingsTree& tree, const std::vector<PortNameRow>& rows);

// The stored custom names of one direction by device name.
std::map<std::string, std::string> storedCustomNames(const SettingsTree& tree, bool inputs);

} // namespace corvex
