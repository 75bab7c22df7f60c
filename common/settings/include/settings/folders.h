// Where the program keeps its files. Paths have no trailing slash unless stated.
// Callable from any thread (they read the environment only).
#pragma once

#include <string>

namespace corvex {

// The settings store: $XDG_CONFIG_HOME/Corvex/corvex.reg (default ~/.config/Corvex/...).
// Empty when no home folder is known.
std::string settingsStorePath();

// The user's data folder: $XDG_DOCUMENTS_DIR/Corvex (default ~/Documents/Corvex). Empty
// when no home folder is known.
std::string dataFolder();

// dataFolder(), created when missing; empty when it cannot be made.
std::string ensureDataFolder();

// The engine settings folder $XDG_DATA_HOME/Corvex/ (with its trailing slash), holding
// "CVXLIB.INI", the device log and the private map files; created when missing. Empty when
// it cannot be made.
std::string engineSettingsFolder();

// The engine settings file "CVXLIB.INI" in that folder.
std::string engineSettingsFile();

// The program folder: <prefix>/share/corvex, where <prefix> is the folder above the running
// program's bin/ when that holds share/corvex, else the prefix the program was built for.
// It holds the help, "CORVEX.INI" (tray icon frames) and a legacy "CORVEX32.INI".
std::string programFolder();

inline constexpr char kTrayFramesFile[] = "CORVEX.INI";
inline constexpr char kLegacySettingsFile[] = "CORVEX32.INI";

} // namespace corvex
