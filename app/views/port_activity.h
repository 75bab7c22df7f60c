// The port activity model: one row of lamps per open port, lit for 100 ms whenever the port
// carries traffic. Lamp 0 is any traffic, lamps 1-16 the channels, 17-19 system common,
// real-time and SysEx. The window polls the engine's port status every 10 ms and feeds each
// record to update(), which says which lamps changed so that only those are redrawn.
//
// Rows: the title "Input Ports", one row per open input, the generated-event port, the title
// "Output Ports" and one row per open output.
//
// User-interface thread only (plain values).
#pragma once

#include "cvx_records.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace corvex {

inline constexpr int kLampCount = 20;
inline constexpr int kAnyTrafficLamp = 0;
inline constexpr uint32_t kLampOnMs = 100;
inline constexpr int kGeneratedEventPort = 135;

struct ActivityPort {
    int device = 0; // the port's index
    std::string name;
};

struct ActivityRow {
    enum class Kind { Title, Input, Output };
    Kind kind = Kind::Title;
    std::string text;
    int device = -1; // the port's index; -1 for a title
};

struct LampChange {
    int row = 0;
    int lamp = 0;
    bool on = false;
    bool operator==(const LampChange&) const = default;
};

// The lamp captions of a section: " 1" .. "16", "CM", "RT", "SX" (lamps 1-19).
std::vector<std::string> lampCaptions();

class PortActivity {
public:
    // Rebuilds the rows for the open ports and forgets every lamp.
    void setPorts(const std::vector<ActivityPort>& inputs,
                  const std::vector<ActivityPort>& outputs);
    const std::vector<ActivityRow>& rows() const { return rows_; }
    bool lit(int row, int lamp) const { return lamps_[row][lamp].on; }

    // One poll: `status` as GetPortStatus filled it (status words since the last poll),
    // `now` on the same millisecond clock as its times. A lamp lights when its port's last
    // event is less than 100 ms old and the event carried what the lamp shows (lamp 0: any
    // event); it stays lit until 100 ms after the port's latest such event.
    std::vector<LampChange> update(const CPortStatus& status, uint32_t now);

private:
    struct Lamp {
        bool on = false;
        uint32_t offTime = 0;
    };
    using Lamps = std::array<Lamp, kLampCount>;

    void updateRow(int row, uint32_t time, uint32_t bits, uint32_t now,
                   std::vector<LampChange>& changes);

    std::vector<ActivityRow> rows_;
    std::vector<Lamps> lamps_;
};

} // namespace corvex
