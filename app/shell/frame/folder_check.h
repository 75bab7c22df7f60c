// The Folders dialog's rule for OK: every folder the user changed must be an existing
// directory. Plain logic; looks at the file system.
#pragma once

#include "frame_options.h"

namespace corvex {

enum class FolderField { None = -1, Map = 0, SysEx = 1, Snapshot = 2 };

// The first changed folder of `edited` (against `stored`) that is not an existing
// directory, or None when all changed folders exist.
FolderField firstInvalidFolder(const FolderSettings& stored, const FolderSettings& edited);

} // namespace corvex
