// The stored window placement: the 44-byte record the frame, the views and the tool
// windows keep in the settings ("Window Pos", "MDIPos1".."MDIPos5"), little-endian:
//   u32 length (44), u32 flags, u32 show command, i32 minimised x, y, i32 maximised x, y,
//   i32 normal left, top, right, bottom.
// A placement whose normal rectangle holds INT32_MIN in all four coordinates marks a
// window that was never placed. The Qt windows convert through WindowGeometry, so every
// window uses this one code path.
//
// Pure functions, callable from any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace corvex {

inline constexpr size_t kPlacementBytes = 44;
inline constexpr size_t kRectBytes = 16;
inline constexpr int32_t kNeverPlacedCoordinate = INT32_MIN; // 0x80000000

// Show commands of the placement record.
enum ShowCommand : uint32_t {
    kShowHidden = 0,
    kShowNormal = 1,
    kShowMinimized = 2,
    kShowMaximized = 3,
    kShowMinimize = 6,
    kShowMinimizedNoActivate = 7,
    kShowRestore = 9,
};
inline constexpr uint32_t kPlacementRestoreToMaximized = 0x0002; // flags

struct PlacementRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const PlacementRect&) const = default;
};

struct WindowPlacement {
    uint32_t flags = 0;
    uint32_t showCommand = kShowNormal;
    int32_t minimizedX = -1;
    int32_t minimizedY = -1;
    int32_t maximizedX = -1;
    int32_t maximizedY = -1;
    PlacementRect normal;

    bool operator==(const WindowPlacement&) const = default;
};

// A normal placement of the given rectangle.
WindowPlacement normalPlacement(PlacementRect rect);
// The "never placed" marker.
WindowPlacement neverPlacedPlacement();
bool isNeverPlaced(const WindowPlacement& placement);

std::array<uint8_t, kPlacementBytes> encodePlacement(const WindowPlacement& placement);
// Nothing unless `bytes` is exactly 44 bytes long.
std::optional<WindowPlacement> decodePlacement(std::span<const uint8_t> bytes);

std::array<uint8_t, kRectBytes> encodeRect(const PlacementRect& rect);
std::optional<PlacementRect> decodeRect(std::span<const uint8_t> bytes);

// A placement as the user interface applies it: the normal (restored) geometry and the
// state to show. Width and height are never negative.
struct WindowGeometry {
    enum class State { Normal, Minimized, Maximized };
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    State state = State::Normal;

    bool operator==(const WindowGeometry&) const = default;
};

// Nothing for a never-placed placement.
std::optional<WindowGeometry> geometryOf(const WindowPlacement& placement);
WindowPlacement placementOf(const WindowGeometry& geometry);

} // namespace corvex
