#include "ini/engine_settings.h"

#include "ini/engine_folder.h"
#include "ini/profile_document.h"
#include "ini/profile_file.h"
#include "ini/profile_strings.h"

#include <string_view>

namespace cvx::profile {

namespace {

constexpr std::string_view kOptionsSection = "Options";
constexpr std::string_view kPanicSection = "Panic";

struct PanicKey {
    std::string_view name;
    int PanicSettings::*field;
};

// In the order the file lists them.
constexpr PanicKey kPanicKeys[] = {
    {"MinDelay", &PanicSettings::minDelay},
    {"AllNotesOff", &PanicSettings::allNotesOff},
    {"PitchBend", &PanicSettings::pitchBend},
    {"SustPedal", &PanicSettings::sustPedal},
    {"ModWheel", &PanicSettings::modWheel},
    {"ResetCtl", &PanicSettings::resetCtl},
    {"Volume", &PanicSettings::volume},
    {"Expression", &PanicSettings::expression},
    {"Pan", &PanicSettings::pan},
};

PanicSettings panicSettingsOf(const ProfileDocument& document) {
    PanicSettings settings;
    for (const PanicKey& key : kPanicKeys) {
        settings.*key.field = profileIntOf(document, kPanicSection, key.name, settings.*key.field);
    }
    return settings;
}

} // namespace

std::string engineSettingsPath() {
    if (!core::ensureEngineFolder()) {
        return {};
    }
    return core::engineFolderPath() + kEngineSettingsFile;
}

int readAutoOpen(const std::string& path) {
    return readProfileInt(path, kOptionsSection, "AutoOpen", 1);
}

PanicSettings readPanicSettings(const std::string& path) {
    return panicSettingsOf(loadProfileDocument(path));
}

bool rewritePanicDefaults(const std::string& path) {
    ProfileText file = readProfileFile(path);
    if (file.status == ReadStatus::Failed) {
        return false;
    }
    ProfileDocument document(file.text);
    PanicSettings settings = panicSettingsOf(document);
    for (const PanicKey& key : kPanicKeys) {
        document.set(kPanicSection, key.name, std::to_string(settings.*key.field));
    }
    return replaceProfileFile(path, document.text());
}

} // namespace cvx::profile
