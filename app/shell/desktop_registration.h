// "--reg": makes Corvex's file types and its two programs known to the user's desktop, as
// the installed package does for everybody: the shared-mime-info package in
// $XDG_DATA_HOME/mime/packages (with the desktop's database rebuilt) and the two desktop
// entries in $XDG_DATA_HOME/applications, starting the programs from `programFolder`. It
// makes no program the default for any type (that is the "File Associations" dialog's
// work). Plain C++; called once at start-up before anything else runs.
#pragma once

#include "shell/desktop_folders.h"

#include <string>

namespace corvex {

struct DesktopRegistration {
    bool done = false;
    std::string message; // why it failed, or a note (the database tool is missing)
};

DesktopRegistration registerWithDesktop(const DesktopFolders& folders,
                                        const std::string& programFolder);

// A desktop entry's text with its "Exec=" and "TryExec=" programs taken from `folder`.
std::string entryStartingFrom(const std::string& entry, const std::string& folder);

} // namespace corvex
