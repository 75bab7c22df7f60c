// The settings store's contents in memory: a tree of keys, each holding named typed values.
// Key paths are relative to the store's root ("Software\Corvex"), their components joined
// by '\' ('/' is an ordinary character of a name); "" is the root itself. Key and value names
// compare without regard to ASCII case, as the registry does, and keep the spelling they were first
// given.
//
// A plain value type: use one object from one thread at a time.
#pragma once

#include "settings/setting_value.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvex {

// The root key every path is relative to; the store's section names start with it.
inline constexpr char kSettingsRootKey[] = "Software\\Corvex";

// Longest value the store holds (bytes of a binary value or of a text).
inline constexpr size_t kMaxSettingBytes = 65536;

// The canonical spelling of a key path: components joined by '\', empty ones dropped.
// Nothing when a component holds a control character or the path is too long.
std::optional<std::string> normalKeyPath(std::string_view path);

// `parent` joined with `child`, for building key paths.
std::string joinKeyPath(std::string_view parent, std::string_view child);

class SettingsTree {
public:
    struct Key {
        std::string path; // canonical spelling
        std::vector<std::pair<std::string, SettingValue>> values;
    };

    // The value, or nothing when the key or value is missing.
    const SettingValue* value(std::string_view key, std::string_view name) const;

    // Typed reads: nothing when missing or stored with another type.
    std::optional<uint32_t> dword(std::string_view key, std::string_view name) const;
    std::optional<uint64_t> qword(std::string_view key, std::string_view name) const;
    std::optional<std::string> string(std::string_view key, std::string_view name) const;
    // A binary value of exactly `size` bytes; nothing for any other size.
    std::optional<std::vector<uint8_t>> binary(std::string_view key, std::string_view name,
                                               size_t size) const;
    // A binary value of whatever size it has.
    std::optional<std::vector<uint8_t>> anyBinary(std::string_view key,
                                                  std::string_view name) const;

    // Sets the value, creating the key (and replacing a value of the same name, whatever its
    // type). False, and no change, for an invalid key path or an over-long value.
    bool set(std::string_view key, std::string_view name, SettingValue value);
    bool setDword(std::string_view key, std::string_view name, uint32_t value);
    bool setQword(std::string_view key, std::string_view name, uint64_t value);
    bool setString(std::string_view key, std::string_view name, std::string_view value);
    bool setBinary(std::string_view key, std::string_view name, const void* data, size_t size);

    // Creates an empty key when missing. False for an invalid path.
    bool createKey(std::string_view key);
    bool hasKey(std::string_view key) const;

    // False when there was no such value or key.
    bool removeValue(std::string_view key, std::string_view name);
    // Removes the key with every key below it.
    bool removeKey(std::string_view key);

    // Names of the keys directly below `key` (also those that exist only through deeper
    // keys), sorted without regard to case.
    std::vector<std::string> subkeys(std::string_view key) const;
    // Names of the values of `key`, in the order they were first set.
    std::vector<std::string> valueNames(std::string_view key) const;

    // Every key, parents before children.
    std::vector<const Key*> keys() const;

    bool empty() const { return keys_.empty(); }
    bool operator==(const SettingsTree& other) const;

private:
    const Key* findKey(std::string_view key) const;
    Key* findKey(std::string_view key);
    Key* makeKey(std::string_view key);

    std::map<std::string, Key> keys_; // by folded canonical path
};

} // namespace corvex
