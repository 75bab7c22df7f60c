// Reading the settings file of the earlier storage scheme ("CORVEX32.INI") into the
// settings record: window position, colours, options, device names, filter and log file.
// Internal to the settings library; used once by the legacy migration, on the thread that
// runs it.
#pragma once

#include "settings_profile.h"

#include "ini/profile_document.h"

namespace corvex {

void readLegacySettings(const cvx::profile::ProfileDocument& legacy, SettingsProfile& record);

} // namespace corvex
