// The per-connection data maps: for a pair (output index, input index; input 135 is
// "Corvex Events") the path of a binary map file that the engine applies to that
// connection only. At most one entry per pair, kept sorted by output and then input.
//
// User-interface thread only.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace corvex {

class CPortDataMap {
public:
    struct Entry {
        int output = 0;
        int input = 0;
        std::string path;

        bool operator==(const Entry&) const = default;
    };

    virtual ~CPortDataMap() = default;

    // False (and nothing added) for an empty path or a pair that already has an entry.
    bool add(int output, int input, const std::string& path);
    bool remove(int output, int input);
    void clear() { entries_.clear(); }
    std::optional<std::string> find(int output, int input) const;

    const std::vector<Entry>& entries() const { return entries_; }
    bool operator==(const CPortDataMap&) const = default;

private:
    std::vector<Entry> entries_;
};

} // namespace corvex
