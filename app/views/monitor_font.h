// The monitors' font as the settings keep it (key "Monitor": "Face Name", "Size", "Bold",
// "Italic"). A plain value: any thread.
#ifndef CORVEX_VIEWS_MONITOR_FONT_H
#define CORVEX_VIEWS_MONITOR_FONT_H

#include <string>

namespace corvex {

struct MonitorFont {
    std::string faceName = "Courier New";
    int size = 9; // points
    bool bold = false;
    bool italic = false;

    bool operator==(const MonitorFont&) const = default;
};

} // namespace corvex

#endif
