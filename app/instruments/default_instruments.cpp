#include "instruments/default_instruments.h"

#include "instruments/instrument_file.h"
#include "settings/folders.h"

#include <filesystem>

namespace corvex {

namespace fs = std::filesystem;

std::string installedInstrumentFolder() {
    std::string program = programFolder();
    return program.empty() ? program : program + "/Instr";
}

int provideDefaultInstruments(const std::string& folder, const std::string& source) {
    if (folder.empty() || source.empty() || !listInstrumentFiles(folder).empty()) {
        return 0;
    }
    std::error_code error;
    fs::create_directories(folder, error);
    int copied = 0;
    for (const std::string& name : listInstrumentFiles(source)) {
        fs::path target = fs::path(folder) / name;
        fs::path partial = fs::path(folder) / ("." + name + ".partial");
        if (fs::exists(target, error) ||
            !fs::copy_file(fs::path(source) / name, partial, fs::copy_options::overwrite_existing,
                           error)) {
            fs::remove(partial, error);
            continue;
        }
        fs::rename(partial, target, error);
        if (error) {
            fs::remove(partial, error);
            continue;
        }
        ++copied;
    }
    return copied;
}

} // namespace corvex
