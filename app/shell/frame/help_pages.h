// Where the help pages are: HTML files in the "help" folder of the program's folder, or,
// for a program run from its build tree, in the source tree's docs/help. Plain logic; looks
// at the file system.
#pragma once

#include <string>
#include <string_view>

namespace corvex {

inline constexpr std::string_view kHelpContentsPage = "index.html";
inline constexpr std::string_view kHelpSearchPage = "search.html";
inline constexpr std::string_view kHelpOnHelpPage = "using-help.html";
inline constexpr int kWebSiteHelpTopic = 7302;

// The page of a context-help topic; the contents page for topic 0 and unknown topics.
std::string_view helpPageForTopic(int topic);

// The full path of `page`, looked for in `programFolder`/help and then in the source tree;
// empty when it is in neither.
std::string findHelpPage(const std::string& programFolder, std::string_view page);

// The read-me file: README.md in the program's folder, else the source tree's; empty when
// there is none.
std::string findReadMe(const std::string& programFolder);

} // namespace corvex
