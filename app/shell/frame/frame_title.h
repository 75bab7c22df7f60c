// The frame's title: the product caption with "(64)", the instance number from the second
// instance on, and the loaded profile's file name. Plain logic.
#pragma once

#include <string>

namespace corvex {

// "Corvex (64)", "Corvex (64) : 2", "Corvex (64) - studio.ini", ...
std::string frameTitle(int instanceNumber, const std::string& profilePath);

} // namespace corvex
