// Applies the settings that shape event text: the middle-C octave numbering ("Octave"),
// port name abbreviations ("DisplayPortNames") and patch names ("DisplayGMPatches").
// Port names themselves come from the device manager (EventText::setPortNames).
// Threads: the thread that owns the EventText.
#pragma once

#include "settings_profile.h"
#include "views/event_text.h"

namespace corvex {

void applyEventTextSettings(EventText& text, const SettingsProfile& settings);

} // namespace corvex
