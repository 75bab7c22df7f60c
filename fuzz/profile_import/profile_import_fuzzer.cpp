// Reads arbitrary bytes as a profile file and as a legacy settings file: the profile test
// must agree with its definition, and reading either over a settings record, then exporting
// the record, must never crash.
#include "legacy_settings.h"
#include "profile_file.h"
#include "settings/utf8_text.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (corvex::isProfileTextBytes(text) && !corvex::isValidUtf8(text)) {
        __builtin_trap();
    }

    corvex::SettingsDefaults defaults;
    defaults.dataFolder = "/data";
    cvx::profile::ProfileDocument document = corvex::profileDocumentOf(text);

    corvex::SettingsProfile record = corvex::SettingsProfile::defaults(defaults);
    corvex::readProfileDocument(document, record);
    corvex::ImportedProfile imported(document);
    (void)imported.customInputName("Corvex Loopback 1");

    corvex::SettingsProfile legacy = corvex::SettingsProfile::defaults(defaults);
    corvex::readLegacySettings(document, legacy);

    cvx::profile::ProfileDocument exported(text);
    corvex::writeProfileDocument(record, exported);
    corvex::writeProfileDocument(legacy, exported);
    return 0;
}
