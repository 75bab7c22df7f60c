// What the frame does with files dropped on it: exactly one file of a kind it can use is
// accepted. The kind follows the command line's classification: SysEx files and binary data
// maps by extension, a profile by its content (the settings' profile text test), and
// nothing else.
// Plain logic; reads the file's content, so call it on the user-interface thread only for
// files the user dropped.
#pragma once

#include <string>
#include <vector>

namespace corvex {

enum class DroppedFileKind { Unsuitable, Profile, DataMap, SysEx, Snapshot };

DroppedFileKind classifyDroppedFile(const std::string& path);

// The one usable file of a drop and its kind; Unsuitable for no file, several files, or one
// the frame cannot use.
struct DropDecision {
    DroppedFileKind kind = DroppedFileKind::Unsuitable;
    std::string path;
};
DropDecision decideDrop(const std::vector<std::string>& paths);

} // namespace corvex
