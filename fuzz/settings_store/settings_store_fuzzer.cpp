// Reads arbitrary bytes as a settings store: the reader must never crash, what it keeps must
// write out as a sound store that reads back identically, and the settings record must load
// from it and write back into it.
#include "settings/settings_text.h"
#include "settings_profile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    corvex::ParsedSettings parsed = corvex::parseSettingsText(text);

    std::string written = corvex::formatSettingsText(parsed.tree);
    corvex::ParsedSettings again = corvex::parseSettingsText(written);
    if (!again.problems.empty() || !(again.tree == parsed.tree) ||
        corvex::formatSettingsText(again.tree) != written) {
        __builtin_trap();
    }

    corvex::SettingsDefaults defaults;
    defaults.dataFolder = "/data";
    corvex::SettingsProfile record = corvex::SettingsProfile::defaults(defaults);
    record.readFrom(parsed.tree, 1);
    record.writeTo(parsed.tree, 1);
    return 0;
}
