// Geometry of the Window menu's arrangements that the multiple-document area does not do
// itself: tiling one above the other or side by side, and lining up minimised windows along
// the bottom. Plain logic on integer rectangles.
#pragma once

#include <vector>

namespace corvex {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const Rect&) const = default;
};

enum class TileDirection {
    Horizontal, // windows one above the other, each as wide as the area
    Vertical,   // windows side by side, each as high as the area
};

// `count` rectangles that share `area` without gaps; the last one takes the remainder.
std::vector<Rect> tileRects(int count, Rect area, TileDirection direction);

// Places for `count` minimised windows of `iconWidth` x `iconHeight`, left to right along
// the bottom of `area`, starting a new row above when a row is full.
std::vector<Rect> iconRects(int count, Rect area, int iconWidth, int iconHeight);

} // namespace corvex
