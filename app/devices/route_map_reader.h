// Reads the binary data map of one connection for the device manager, which sends it to the
// engine after the ports opened. The program implements it with the map file reader (which
// shows its own messages).
//
// User-interface thread only.
#pragma once

#include "cvx_records.h"

#include <functional>
#include <string>

namespace corvex {

class RouteMapReader {
public:
    virtual ~RouteMapReader() = default;
    // Reads the file and hands the map to `use` while it is alive; false when unreadable.
    virtual bool readRouteMap(const std::string& path,
                              const std::function<void(const SMapper&)>& use) = 0;
};

} // namespace corvex
