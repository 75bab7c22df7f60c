// The message for a file that cannot be opened for reading: "Error trying to open the file",
// the system's reason, and the file on the line below. Plain logic; any thread.
#pragma once

#include <string>

namespace corvex {

// Empty when `path` can be opened for reading.
std::string fileOpenError(const std::string& path);

} // namespace corvex
