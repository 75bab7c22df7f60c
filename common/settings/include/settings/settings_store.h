// The per-user settings store: one text file (by default $XDG_CONFIG_HOME/Corvex/corvex.reg)
// holding the tree of keys and typed values under "Software\Corvex". Every corvex instance
// and tunelet share it: each change is a read-modify-write under an exclusive advisory lock
// (flock on "<file>.lock"), written to a temporary file in the same folder and renamed over
// the old one, so a process never loses another's values and a reader never sees half a
// file.
//
// A file that cannot be read in full is never silently overwritten: it is renamed to
// "<file>.damaged-<time>", what could be read is written back as the new store, and
// takeDamageNotice() says so once.
//
// One object per thread; any number of objects and processes may use the same file.
#pragma once

#include "settings/settings_tree.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvex {

class SettingsStore {
public:
    // The store at settingsStorePath() (folders.h). Without a home folder that path is
    // empty: such a store reads as empty and refuses every change.
    SettingsStore();
    explicit SettingsStore(std::string path);

    const std::string& path() const { return path_; }

    // The whole store; empty when the file is missing or cannot be opened.
    SettingsTree read();

    // Changes the store: `edit` gets the current contents under the exclusive lock and
    // returns whether it changed anything; changes are written back before the lock is let
    // go. False when the store could not be locked, read or replaced (nothing is written
    // then) or when `edit` returned false.
    bool update(const std::function<bool(SettingsTree&)>& edit);

    // Single-value reads: nothing when missing, of another type, or (binary) of another
    // size than `size`.
    std::optional<uint32_t> readDword(std::string_view key, std::string_view name);
    std::optional<uint64_t> readQword(std::string_view key, std::string_view name);
    std::optional<std::string> readString(std::string_view key, std::string_view name);
    std::optional<std::vector<uint8_t>> readBinary(std::string_view key, std::string_view name,
                                                   size_t size);

    // Single-value writes and deletes, each one locked read-modify-write.
    bool writeDword(std::string_view key, std::string_view name, uint32_t value);
    bool writeQword(std::string_view key, std::string_view name, uint64_t value);
    bool writeString(std::string_view key, std::string_view name, std::string_view value);
    bool writeBinary(std::string_view key, std::string_view name, const void* data, size_t size);
    bool deleteValue(std::string_view key, std::string_view name);
    bool deleteKey(std::string_view key); // with every key below it

    std::vector<std::string> subkeys(std::string_view key);
    std::vector<std::string> valueNames(std::string_view key);

    // A message for the user when this object found the store damaged and put it aside
    // since the last call; empty otherwise.
    std::string takeDamageNotice();

private:
    bool putDamagedAside(const std::vector<std::string>& problems);

    std::string path_;
    std::string damageNotice_;
};

} // namespace corvex
