// The scalar values of the settings record with their store keys and value names and the
// profile section each is exported in, so the store and profile files read and write the
// same list. Internal to the settings library; the tables are constant, callable from any
// thread.
#pragma once

#include "settings_profile.h"

#include <climits>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>

namespace corvex::fields {

// Which branch a value lives in: the store's root or the instance branch "Profile <n>".
enum class Scope { Root, Instance };

// A number stored as a dword and exported as "%d".
struct NumberField {
    Scope scope;
    const char* key; // below the branch; "" for the branch itself
    const char* name;
    const char* profileSection; // nullptr: not part of a profile file
    int64_t (*get)(const SettingsProfile&);
    void (*set)(SettingsProfile&, int64_t);
    int64_t min = INT32_MIN; // values read are clamped to min..max; a max above INT32_MAX
    int64_t max = INT32_MAX; // reads the stored 32 bits as unsigned
};

// A text stored as a string and exported as it is.
struct TextField {
    Scope scope;
    const char* key;
    const char* name;
    const char* profileSection;
    const std::string& (*get)(const SettingsProfile&);
    std::string& (*ref)(SettingsProfile&);
};

std::span<const NumberField> numberFields();
std::span<const TextField> textFields();

// The key path of a field for instance `instance`.
std::string fieldKey(Scope scope, const char* key, int instance);

// Section names shared by the store's instance branch and profile files.
inline constexpr char kDisplay[] = "Display";
inline constexpr char kOptions[] = "Options";
inline constexpr char kMidiDevices[] = "MIDI Devices";
inline constexpr char kLogFile[] = "Log File";
inline constexpr char kFilter[] = "Filter";

} // namespace corvex::fields
