// The monitors' font in the settings store, key "Monitor": "Face Name", "Size", "Bold",
// "Italic". Both monitors read it; the font dialog writes all four values at once.
// Threads: any thread with its own SettingsStore object.
#ifndef CORVEX_VIEWS_MONITOR_FONT_STORE_H
#define CORVEX_VIEWS_MONITOR_FONT_STORE_H

#include "settings_profile.h"
#include "settings/settings_store.h"

namespace corvex {

// The stored font; each missing or unusable value keeps its default.
MonitorFont loadMonitorFont(SettingsStore& store);
// False when the store could not be written.
bool saveMonitorFont(SettingsStore& store, const MonitorFont& font);

} // namespace corvex

#endif
