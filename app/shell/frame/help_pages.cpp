#include "help_pages.h"

#include <filesystem>

namespace corvex {
namespace {

bool isFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string firstExisting(std::initializer_list<std::filesystem::path> candidates) {
    for (const auto& candidate : candidates) {
        if (!candidate.empty() && isFile(candidate)) {
            return candidate.string();
        }
    }
    return {};
}

std::filesystem::path under(const std::string& folder, std::string_view tail) {
    return folder.empty() ? std::filesystem::path{} : std::filesystem::path(folder) / tail;
}

} // namespace

std::string_view helpPageForTopic(int topic) {
    switch (topic) {
    case kWebSiteHelpTopic:
        return "web-site.html";
    default:
        return kHelpContentsPage;
    }
}

std::string findHelpPage(const std::string& programFolder, std::string_view page) {
    const std::filesystem::path relative = std::filesystem::path("help") / page;
    return firstExisting({under(programFolder, relative.string()),
                          std::filesystem::path(CVX_SOURCE_DIR) / "docs" / relative});
}

std::string findReadMe(const std::string& programFolder) {
    return firstExisting(
        {under(programFolder, "README.md"), std::filesystem::path(CVX_SOURCE_DIR) / "README.md"});
}

} // namespace corvex
