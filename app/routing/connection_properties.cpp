#include "routing/connection_properties.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace corvex {
namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isBinaryMapName(const std::string& name) {
    return name.size() > 4 && lowered(name.substr(name.size() - 4)) == ".vxm";
}

std::string joined(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

std::filesystem::path normalFolder(const std::string& folder) {
    std::filesystem::path path = std::filesystem::path(folder).lexically_normal();
    return path.has_filename() ? path : path.parent_path();
}

bool sameFolder(const std::string& a, const std::string& b) {
    return !b.empty() && normalFolder(a) == normalFolder(b);
}

} // namespace

ConnectionProperties connectionPropertiesOf(const RoutingState& state, int input, int output,
                                            const std::string& inputLabel,
                                            const std::string& outputLabel,
                                            const std::string& mapFolder,
                                            const std::vector<std::string>& folderFiles) {
    ConnectionProperties properties;
    properties.input = input;
    properties.output = output;
    properties.title = "[" + inputLabel + "]---[" + outputLabel + "]";
    properties.mask = state.mask(input, output);
    properties.mapChoices = {kNoMapChoice};
    properties.mapPaths = {""};
    std::vector<std::string> names;
    std::copy_if(folderFiles.begin(), folderFiles.end(), std::back_inserter(names),
                 isBinaryMapName);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return lowered(a) < lowered(b); });
    for (const auto& name : names) {
        properties.mapChoices.push_back(name);
        properties.mapPaths.push_back(joined(mapFolder, name));
    }
    const std::optional<std::string> current = state.portDataMap.find(output, input);
    if (!current) {
        return properties;
    }
    const std::filesystem::path path(*current);
    if (sameFolder(path.parent_path().string(), mapFolder)) {
        const std::string name = lowered(path.filename().string());
        for (int i = 1; i < static_cast<int>(names.size()) + 1; ++i) {
            if (lowered(properties.mapChoices[i]) == name) {
                properties.chosenMap = i;
                properties.mapPaths[i] = *current; // unchanged, the map stays as it was
                return properties;
            }
        }
    }
    properties.mapChoices.push_back(*current);
    properties.mapPaths.push_back(*current);
    properties.chosenMap = static_cast<int>(properties.mapChoices.size()) - 1;
    return properties;
}

RoutingChange applyConnectionProperties(RoutingState& state,
                                        const ConnectionProperties& properties) {
    const bool valid = properties.chosenMap >= 0 &&
                       properties.chosenMap < static_cast<int>(properties.mapPaths.size());
    const std::string path = valid ? properties.mapPaths[properties.chosenMap] : std::string();
    return setConnectionProperties(state, properties.input, properties.output,
                                   properties.mask & kConnectRouteMask,
                                   path.empty() ? std::nullopt : std::optional<std::string>(path));
}

} // namespace corvex
