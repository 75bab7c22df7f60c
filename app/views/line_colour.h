// Which entry of the program's 55-colour scheme a monitor line is drawn in: by message kind,
// or by channel when the channel-colour option is on. Pure functions: any thread.
#ifndef CORVEX_VIEWS_LINE_COLOUR_H
#define CORVEX_VIEWS_LINE_COLOUR_H

#include "views/monitor_line.h"

namespace corvex {

// Indices of the colour scheme entries the monitors use.
namespace monitor_colour {
inline constexpr int background = 0;
inline constexpr int text = 1;
inline constexpr int labelBackground = 2;
inline constexpr int labelText = 3;
inline constexpr int noteOn = 6;
inline constexpr int noteOff = 7;
inline constexpr int aftertouch = 8;
inline constexpr int controller = 9;
inline constexpr int programChange = 10;
inline constexpr int pitchBend = 11;
inline constexpr int systemExclusive = 12;
inline constexpr int channel1 = 21; // channels 1..16 are 21..36
} // namespace monitor_colour

int lineColourIndex(const MonitorLine& line, bool channelColours);

} // namespace corvex

#endif
