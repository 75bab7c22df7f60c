#include "port_data_map.h"

#include <algorithm>

namespace corvex {

namespace {

bool before(const CPortDataMap::Entry& entry, int output, int input) {
    return entry.output < output || (entry.output == output && entry.input < input);
}

} // namespace

bool CPortDataMap::add(int output, int input, const std::string& path) {
    if (path.empty()) {
        return false;
    }
    auto at = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& entry) { return !before(entry, output, input); });
    if (at != entries_.end() && at->output == output && at->input == input) {
        return false;
    }
    entries_.insert(at, Entry{output, input, path});
    return true;
}

bool CPortDataMap::remove(int output, int input) {
    auto at = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return entry.output == output && entry.input == input;
    });
    if (at == entries_.end()) {
        return false;
    }
    entries_.erase(at);
    return true;
}

std::optional<std::string> CPortDataMap::find(int output, int input) const {
    for (const Entry& entry : entries_) {
        if (!before(entry, output, input)) {
            if (entry.output == output && entry.input == input) {
                return entry.path;
            }
            break; // past the pair: the list is sorted
        }
    }
    return std::nullopt;
}

} // namespace corvex
