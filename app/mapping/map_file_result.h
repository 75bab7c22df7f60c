// What a map reader or writer reports to its caller, who shows it: the user-interface code
// puts `message` and then problemText() into warning boxes. Any thread.
#pragma once

#include <string>
#include <vector>

namespace corvex {

struct MapFileResult {
    bool ok = false;
    // A warning for the user; empty when there is nothing to show. Failures that the quiet
    // flag covers leave it empty when reading quietly.
    std::string message;
    // ASCII reader: one complete text per line it could not read (each names the file, the
    // line and the field), in file order. The lines were skipped; the rest was read.
    std::vector<std::string> problems;

    // The problems as one text for one warning box: each followed by a line feed, as many as
    // fit into 1,024 characters.
    std::string problemText() const;
};

} // namespace corvex
