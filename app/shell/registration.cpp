#include "shell/registration.h"

#include "ini/engine_settings.h"

namespace corvex {
namespace {

RegistrationOutcome notAvailable(const char* what) {
    return {1, std::string("corvex: ") + what +
                   " is not available in this build; nothing was "
                   "registered."};
}

RegistrationOutcome writePanicDefaults(const std::string& path) {
    if (path.empty()) {
        return {1, "corvex: there is no engine settings folder (HOME and XDG_DATA_HOME are "
                   "unset); the panic defaults were not written."};
    }
    if (!cvx::profile::rewritePanicDefaults(path)) {
        return {1, "corvex: could not write the panic defaults to " + path + "."};
    }
    return {0, {}};
}

} // namespace

RegistrationOutcome performRegistration(Registration registration,
                                        const std::string& engineSettingsPath) {
    switch (registration) {
    case Registration::Install:
        return writePanicDefaults(engineSettingsPath);
    case Registration::Reg:
        return notAvailable("Registering the file types");
    case Registration::RegServer:
        return notAvailable("Registering the automation server");
    case Registration::UnregServer:
        return notAvailable("Removing the automation server's registration");
    case Registration::None:
        break;
    }
    return {0, {}};
}

} // namespace corvex
