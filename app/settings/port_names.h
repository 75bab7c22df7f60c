// Names used by the stored device selection: the selected port names, the value names of
// per-connection data maps, and the rule that decides whether a stored data map is used.
// Pure functions (isUsablePortDataMap looks at the file system), callable from any thread.
#pragma once

#include <string>
#include <string_view>

namespace corvex {

// The text that marks "no data map" in stored per-connection data maps.
inline constexpr char kNoPortDataMap[] = "None!";

// A port name cut to at most 127 bytes, at a character boundary.
std::string limitPortName(std::string_view name);

// "DataMap_Out<output>_In<input>", or "DataMap_Out<output>_CVX" for input 0 (the
// generated-event port); positions are 1-based.
std::string portDataMapName(int output, int input);

// A stored data map path names a map only when it is not empty, not "None!" and names an
// existing file (a folder counts as missing).
bool isUsablePortDataMap(const std::string& path);

// `prefix` followed by the decimal number ("In3", "OutMap12").
std::string numberedName(std::string_view prefix, size_t number);

// `name` is `prefix` followed by decimal digits only (compared without regard to case).
bool isNumberedName(std::string_view name, std::string_view prefix);
bool startsWithNoCase(std::string_view text, std::string_view prefix);
bool equalsNoCase(std::string_view a, std::string_view b);

} // namespace corvex
