// Which entry of the program's 55-colour scheme a monitor line is drawn in: by message kind,
// or by channel when the channel-colour option is on. Pure functions: any thread.
#pragma once

#include "colour_table.h"
#include "views/monitor_line.h"

namespace corvex {

// The line's ColourIndex (colour_table.h).
size_t lineColourIndex(const MonitorLine& line, bool channelColours);

} // namespace corvex
