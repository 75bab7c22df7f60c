#include "shell/registration.h"

#include "ini/engine_settings.h"
#include "shell/desktop_registration.h"

#include <filesystem>

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

// The folder of the running program, from which the desktop entries start it.
std::string runningBinaryFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

RegistrationOutcome registerFileTypes() {
    const DesktopRegistration outcome =
        registerWithDesktop(desktopFoldersFromEnvironment(), runningBinaryFolder());
    return {outcome.done ? 0 : 1, outcome.message};
}

} // namespace

RegistrationOutcome performRegistration(Registration registration,
                                        const std::string& engineSettingsPath) {
    switch (registration) {
    case Registration::Install:
        return writePanicDefaults(engineSettingsPath);
    case Registration::Reg:
        return registerFileTypes();
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
