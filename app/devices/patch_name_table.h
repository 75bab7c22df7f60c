// The patch name of every program on every channel: General MIDI until instrument
// definitions change them.
//
// User-interface thread only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace corvex {

class PatchNameTable {
public:
    PatchNameTable();

    // Channel 0-15 and program 0-127 (higher bits are ignored).
    const std::string& name(int channel, int program) const;
    void setName(int channel, int program, std::string name);

private:
    static size_t at(int channel, int program);

    std::vector<std::string> names_; // 16 channels x 128 programs
};

} // namespace corvex
