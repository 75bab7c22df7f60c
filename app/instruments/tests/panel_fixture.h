// A folder with a small instrument definition file for the panel's tests: one instrument
// per bank select method, each with banks 0 and 129.
//
// Threads: the test's thread.
#pragma once

#include <filesystem>
#include <string>

namespace corvex::testing {

class PanelFolder {
public:
    PanelFolder();  // makes the folder with "synths.ins"
    ~PanelFolder(); // removes it
    PanelFolder(const PanelFolder&) = delete;
    PanelFolder& operator=(const PanelFolder&) = delete;

    std::string path() const { return folder_.string(); }

private:
    std::filesystem::path folder_;
};

} // namespace corvex::testing
