// The engine settings folder: the per-user application-data folder plus "Corvex/"
// ($XDG_DATA_HOME/Corvex/, by default ~/.local/share/Corvex/). It holds the engine's
// settings file and the device log.
#pragma once

#include <string>

namespace cvx::core {

// The folder's path with a trailing slash; empty when no home folder is known.
std::string engineFolderPath();

// Creates the folder (and its parents) when missing. False when it cannot be made.
bool ensureEngineFolder();

} // namespace cvx::core
