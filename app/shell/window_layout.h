// The main window's layout value, stored with the settings: which MDI child windows were
// open at exit and in which Z-order. The lowest 4 bits hold the count of entries; each
// further 4-bit group, counted upwards from bit 4, holds one window kind; entry 1 is the
// window lowest in the Z-order. Plain functions; any thread.
#pragma once

#include <cstdint>
#include <vector>

namespace corvex {

enum class ChildKind : uint8_t {
    MainMonitor = 0,
    InputMonitor = 1,
    StatusView = 2,
    PortView = 3,
    RoutingView = 4,
};
inline constexpr int kChildKindCount = 5;
inline constexpr int kMaxLayoutEntries = 7; // 28 bits after the count

// The windows to reopen, bottom-most first. Entries of an unknown kind and repeats of a
// kind already listed are skipped, and a count above seven reads as seven, so a damaged
// value never opens a window twice or an invented one.
std::vector<ChildKind> decodeLayout(uint32_t value);

// `bottomFirst` lists the windows from the bottom of the Z-order up; at most one entry per
// kind (later repeats are dropped) and at most seven are stored.
uint32_t encodeLayout(const std::vector<ChildKind>& bottomFirst);

} // namespace corvex
