#include "mdi_layout.h"

#include <algorithm>

namespace corvex {

std::vector<Rect> tileRects(int count, Rect area, TileDirection direction) {
    std::vector<Rect> out;
    if (count <= 0) {
        return out;
    }
    const bool stacked = direction == TileDirection::Horizontal;
    const int length = stacked ? area.height : area.width;
    const int step = length / count;
    for (int i = 0; i < count; ++i) {
        const int start = i * step;
        const int size = i == count - 1 ? length - start : step;
        out.push_back(stacked ? Rect{area.x, area.y + start, area.width, size}
                              : Rect{area.x + start, area.y, size, area.height});
    }
    return out;
}

std::vector<Rect> iconRects(int count, Rect area, int iconWidth, int iconHeight) {
    std::vector<Rect> out;
    const int perRow = std::max(1, area.width / std::max(1, iconWidth));
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow;
        const int column = i % perRow;
        out.push_back({area.x + column * iconWidth, area.y + area.height - (row + 1) * iconHeight,
                       iconWidth, iconHeight});
    }
    return out;
}

} // namespace corvex
