// Loading SysEx files into a pane's text and saving a pane's text to a file, in the forms the
// open and save dialogs offer. Saving writes a temporary file beside the target and renames
// it over the target only when the conversion and the write succeeded, so a failed save never
// destroys the old file. User-interface thread (blocking file I/O on small files).
#pragma once

#include "sysex/sysex_kind.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvex {

// The filters of the open dialog, in order (1-5), and a path given without a dialog.
enum class SysExLoadFilter { SysEx = 1, FormattedSysEx, Text, OtherBinary, Formatted, GivenPath };

struct SysExLoad {
    bool ok = false;
    std::string text;
    SysExKind sourceKind = SysExKind::Unknown;
    SysExKind textKind = SysExKind::Unknown;
    std::string error; // the message when !ok
};

// How a filter reads a file (BinaryFile or TextFile) and shows it.
SysExKind loadSourceKind(SysExLoadFilter filter);
SysExKind loadTextKind(SysExLoadFilter filter);

SysExLoad loadSysExFile(const std::string& path, SysExLoadFilter filter);

// A whole file as bytes; false with `error` set ("Error trying to open the file: <reason>").
bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// Writes every byte to the open file `fd`, going on after interruptions; false on an error.
bool writeAllTo(int fd, std::string_view bytes);

// Writes `bytes` to `path` through a temporary file and a rename; false with `error` set.
bool replaceFileWith(const std::string& path, std::string_view bytes, std::string& error);

// Saves a pane: binary form writes the pane's bytes (the formatted rule for a FormattedHex
// pane, the plain rule otherwise; text without bytes fails and leaves the file alone); text
// form writes the text verbatim with every line ending in CR LF.
bool saveSysExBinary(const std::string& path, std::string_view text, SysExKind textKind,
                     std::string& error);
bool saveSysExText(const std::string& path, std::string_view text, std::string& error);

// A given path is used without a dialog when it names an existing file that is not a folder.
bool isUsableFilePath(const std::string& path);

} // namespace corvex
