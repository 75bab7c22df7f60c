// Small file helpers for the settings tests; every path lies in the test's temporary home.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace corvex::testing {

inline void writeFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string readFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// Names of the files in `folder` that start with `prefix`.
inline std::vector<std::string> filesStartingWith(const std::string& folder,
                                                  const std::string& prefix) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.starts_with(prefix)) {
            names.push_back(name);
        }
    }
    return names;
}

} // namespace corvex::testing
