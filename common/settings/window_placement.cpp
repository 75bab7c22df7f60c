#include "settings/window_placement.h"

#include <algorithm>
#include <climits>

namespace corvex {

namespace {

void putU32(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint32_t getU32(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
           static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
}

void putI32(uint8_t* out, int32_t value) {
    putU32(out, static_cast<uint32_t>(value));
}
int32_t getI32(const uint8_t* in) {
    return static_cast<int32_t>(getU32(in));
}

void putRect(uint8_t* out, const PlacementRect& rect) {
    putI32(out, rect.left);
    putI32(out + 4, rect.top);
    putI32(out + 8, rect.right);
    putI32(out + 12, rect.bottom);
}

PlacementRect getRect(const uint8_t* in) {
    return {getI32(in), getI32(in + 4), getI32(in + 8), getI32(in + 12)};
}

int clampedSpan(int32_t from, int32_t to) {
    long long span = static_cast<long long>(to) - from;
    return static_cast<int>(std::clamp<long long>(span, 0, INT_MAX));
}

int clampedSum(int a, int b) {
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(a) + b, INT_MIN, INT_MAX));
}

} // namespace

WindowPlacement normalPlacement(PlacementRect rect) {
    WindowPlacement placement;
    placement.normal = rect;
    return placement;
}

WindowPlacement neverPlacedPlacement() {
    constexpr int32_t never = kNeverPlacedCoordinate;
    return normalPlacement({never, never, never, never});
}

bool isNeverPlaced(const WindowPlacement& placement) {
    constexpr int32_t never = kNeverPlacedCoordinate;
    return placement.normal == PlacementRect{never, never, never, never};
}

std::array<uint8_t, kPlacementBytes> encodePlacement(const WindowPlacement& placement) {
    std::array<uint8_t, kPlacementBytes> bytes{};
    putU32(&bytes[0], kPlacementBytes);
    putU32(&bytes[4], placement.flags);
    putU32(&bytes[8], placement.showCommand);
    putI32(&bytes[12], placement.minimizedX);
    putI32(&bytes[16], placement.minimizedY);
    putI32(&bytes[20], placement.maximizedX);
    putI32(&bytes[24], placement.maximizedY);
    putRect(&bytes[28], placement.normal);
    return bytes;
}

std::optional<WindowPlacement> decodePlacement(std::span<const uint8_t> bytes) {
    if (bytes.size() != kPlacementBytes) {
        return std::nullopt;
    }
    WindowPlacement placement;
    placement.flags = getU32(&bytes[4]);
    placement.showCommand = getU32(&bytes[8]);
    placement.minimizedX = getI32(&bytes[12]);
    placement.minimizedY = getI32(&bytes[16]);
    placement.maximizedX = getI32(&bytes[20]);
    placement.maximizedY = getI32(&bytes[24]);
    placement.normal = getRect(&bytes[28]);
    return placement;
}

std::array<uint8_t, kRectBytes> encodeRect(const PlacementRect& rect) {
    std::array<uint8_t, kRectBytes> bytes{};
    putRect(bytes.data(), rect);
    return bytes;
}

std::optional<PlacementRect> decodeRect(std::span<const uint8_t> bytes) {
    if (bytes.size() != kRectBytes) {
        return std::nullopt;
    }
    return getRect(bytes.data());
}

std::optional<WindowGeometry> geometryOf(const WindowPlacement& placement) {
    if (isNeverPlaced(placement)) {
        return std::nullopt;
    }
    WindowGeometry geometry;
    geometry.x = placement.normal.left;
    geometry.y = placement.normal.top;
    geometry.width = clampedSpan(placement.normal.left, placement.normal.right);
    geometry.height = clampedSpan(placement.normal.top, placement.normal.bottom);
    switch (placement.showCommand) {
    case kShowMinimized:
    case kShowMinimizedNoActivate:
    case kShowMinimize:
        geometry.state = WindowGeometry::State::Minimized;
        break;
    case kShowMaximized:
        geometry.state = WindowGeometry::State::Maximized;
        break;
    default:
        geometry.state = WindowGeometry::State::Normal;
        break;
    }
    return geometry;
}

WindowPlacement placementOf(const WindowGeometry& geometry) {
    WindowPlacement placement = normalPlacement(
        {geometry.x, geometry.y, clampedSum(geometry.x, std::max(geometry.width, 0)),
         clampedSum(geometry.y, std::max(geometry.height, 0))});
    switch (geometry.state) {
    case WindowGeometry::State::Minimized:
        placement.showCommand = kShowMinimized;
        break;
    case WindowGeometry::State::Maximized:
        placement.showCommand = kShowMaximized;
        break;
    case WindowGeometry::State::Normal:
        placement.showCommand = kShowNormal;
        break;
    }
    return placement;
}

} // namespace corvex
