#include "patch_name_table.h"

#include "gm_patch_names.h"

namespace corvex {

PatchNameTable::PatchNameTable() : names_(16 * 128) {
    for (int channel = 0; channel < 16; ++channel) {
        for (int program = 0; program < 128; ++program) {
            names_[at(channel, program)] = gmProgramName(program);
        }
    }
}

size_t PatchNameTable::at(int channel, int program) {
    return static_cast<size_t>(channel & 15) * 128 + static_cast<size_t>(program & 127);
}

const std::string& PatchNameTable::name(int channel, int program) const {
    return names_[at(channel, program)];
}

void PatchNameTable::setName(int channel, int program, std::string name) {
    names_[at(channel, program)] = std::move(name);
}

} // namespace corvex
