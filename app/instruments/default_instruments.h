// The instrument definitions installed with the program (<program folder>/Instr), offered in
// a user's instrument folder that holds none, so the panel has instruments on first start.
//
// Threads: the user-interface thread only.
#pragma once

#include <string>

namespace corvex {

// The installed definitions' folder: "Instr" in the program folder.
std::string installedInstrumentFolder();

// Copies every ".ins" file of `source` into `folder` (created when missing) when `folder`
// holds no ".ins" file; never replaces a file. Each copy is written to a temporary file and
// renamed, so a failed copy leaves nothing half-written. Returns how many were copied.
int provideDefaultInstruments(const std::string& folder, const std::string& source);

} // namespace corvex
