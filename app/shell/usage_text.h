// What "--help" and "--version" print. Plain functions; any thread.
#pragma once

#include <string>

namespace corvex {

std::string usageText();
std::string versionText();

} // namespace corvex
