// The engine settings file "CVXLIB.INI" in the engine folder, shared by the engine library
// and the application: the start-up option and the panic values. The engine itself reads no
// key that changes what it does.
#pragma once

#include <string>

namespace cvx::profile {

inline constexpr char kEngineSettingsFile[] = "CVXLIB.INI";

// The settings file's path in the engine folder, the folder created when missing; empty
// when there is no engine folder.
std::string engineSettingsPath();

// "Options" "AutoOpen": 0 starts with the ports closed.
int readAutoOpen(const std::string& path);

// Section "Panic". -1 disables a message; "Pan" is kept but sends nothing.
struct PanicSettings {
    int minDelay = 4; // ms between messages
    int allNotesOff = 0;
    int pitchBend = 8192;
    int sustPedal = 0;
    int modWheel = 0;
    int resetCtl = 0;
    int volume = 100;
    int expression = 127;
    int pan = -1;
};

PanicSettings readPanicSettings(const std::string& path);

// Reads every panic key with its default and writes it back, so that the file holds each
// one explicitly. False when the file cannot be read or replaced (it is then unchanged).
bool rewritePanicDefaults(const std::string& path);

} // namespace cvx::profile
