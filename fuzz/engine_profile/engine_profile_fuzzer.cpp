// Arbitrary text read as a profile (INI) file, then edited. Checks: no crash; a value that
// set() accepted reads back as stored, also after the edited text is parsed again; editing
// never changes another key's value.
#include "ini/profile_document.h"
#include "ini/profile_strings.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

using cvx::profile::ProfileDocument;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::string section = provider.ConsumeRandomLengthString(24);
    const std::string key = provider.ConsumeRandomLengthString(24);
    const std::string value = provider.ConsumeRandomLengthString(48);
    const std::string otherSection = provider.ConsumeRandomLengthString(24);
    const std::string otherKey = provider.ConsumeRandomLengthString(24);
    const std::string text = provider.ConsumeRemainingBytesAsString();

    ProfileDocument document(text);
    const auto otherBefore = document.value(otherSection, otherKey);
    cvx::profile::parseProfileInt(otherBefore.value_or(text));
    cvx::profile::profileIntOf(document, section, key, 7);

    if (document.set(section, key, value)) {
        const auto stored = document.value(section, key);
        if (!stored) {
            abort();
        }
        const ProfileDocument reread(document.text());
        if (reread.value(section, key) != stored) {
            abort();
        }
        const bool sameKey = ProfileDocument("[" + section + "]\n" + key + "=x\n")
                                 .value(otherSection, otherKey)
                                 .has_value();
        if (!sameKey && document.value(otherSection, otherKey) != otherBefore) {
            abort();
        }
    }
    if (document.remove(section, key) && document.value(section, key) == value) {
        // A second key of the same name may still be there; it must read as itself.
        document.remove(section, key);
    }
    return 0;
}
