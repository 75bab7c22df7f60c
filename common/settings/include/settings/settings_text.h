// The settings store's file format (documented in docs/settings.md): a header line, then
// one "[Software\Corvex\<key path>]" section per key, each followed by its values as
// `"name"=dword:0000002a`, `"name"=qword:...`, `"name"="text"` or `"name"=hex:0a0b...`.
// Names and texts are quoted with the escapes \\ \" \t \n \r and \xHH.
//
// Pure functions, callable from any thread.
#pragma once

#include "settings/settings_tree.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvex {

inline constexpr char kSettingsStoreHeader[] = "Corvex settings store 1";

// Longer lines are not read.
inline constexpr size_t kMaxSettingsLineBytes = 600000;

struct ParsedSettings {
    SettingsTree tree;                 // everything that could be read
    std::vector<std::string> problems; // what could not; empty for a sound file
};

// Reads what it can: a line that cannot be read is reported and skipped, a value whose
// name repeats in its key keeps the first, sections of the same key are merged. Empty text
// is an empty store.
ParsedSettings parseSettingsText(std::string_view text);

std::string formatSettingsText(const SettingsTree& tree);

} // namespace corvex
