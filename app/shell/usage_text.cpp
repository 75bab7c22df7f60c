#include "shell/usage_text.h"

namespace corvex {

std::string usageText() {
    return "Usage: corvex [switches] [file...]\n"
           "\n"
           "A MIDI monitor, filter, mapper and router for the MIDI ports of this computer.\n"
           "\n"
           "Files:\n"
           "  PROFILE            start with the settings of a profile (an INI text file)\n"
           "  MAP.vxm, MAP.txm   start with a binary or ASCII data map; handed to a running\n"
           "                     instance\n"
           "  DUMP.syx, .cbk     open a SysEx file; handed to a running instance\n"
           "\n"
           "Switches (before the file they apply to; -word, --word or /word):\n"
           "  -open              open the next file (the default)\n"
           "  -play              play the next file\n"
           "  -send              send the next SysEx file without viewing it\n"
           "  -mintray           start minimised to the tray\n"
           "\n"
           "Registration (as the last argument; no window is opened):\n"
           "  -install           write the panic defaults to CVXLIB.INI\n"
           "  -reg               make the file types and programs known to your desktop\n"
           "  -regserver, -unregserver\n"
           "                     not available in this build (exit code 1)\n"
           "\n"
           "  -h, --help         show this help and exit\n"
           "  --version          show the version and exit\n"
           "\n"
           "Exit code: 0 after a normal run, 1 after a failed start.\n";
}

std::string versionText() {
    return std::string("corvex ") + CVX_VERSION + "\n";
}

} // namespace corvex
