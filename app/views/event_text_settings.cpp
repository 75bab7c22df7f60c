#include "views/event_text_settings.h"

namespace corvex {

void applyEventTextSettings(EventText& text, const SettingsProfile& settings) {
    text.setMiddleC(settings.options.octave);
    text.setAbbreviatePortNames(settings.display.displayPortNames);
    text.setShowPatchNames(settings.display.displayGMPatches);
}

} // namespace corvex
