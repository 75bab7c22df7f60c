#include "tool_bar_layout.h"

#include "tool_bar_buttons.h"

#include <algorithm>
#include <set>

namespace corvex {
namespace {

constexpr uint8_t kMagic[] = {'C', 'V', 'T', 'B'};
constexpr uint8_t kVersion = 1;
constexpr size_t kHeaderBytes = sizeof(kMagic) + 2;

bool onToolBar(const ToolBarLayout& layout, int command) {
    return std::find(layout.begin(), layout.end(), command) != layout.end();
}

} // namespace

ToolBarLayout defaultToolBarLayout() {
    ToolBarLayout layout;
    for (const ToolBarButton& button : toolBarButtons()) {
        layout.push_back(button.command);
    }
    return layout;
}

ToolBarLayout keptToolBarButtons(const ToolBarLayout& layout) {
    ToolBarLayout kept;
    std::set<int> seen;
    for (int command : layout) {
        if (kept.size() == kMaxToolBarLayoutButtons || findToolBarButton(command) == nullptr) {
            continue;
        }
        if (command == kToolBarSeparator || seen.insert(command).second) {
            kept.push_back(command);
        }
    }
    return kept;
}

ToolBarLayout addableToolBarButtons(const ToolBarLayout& layout) {
    ToolBarLayout addable{kToolBarSeparator};
    for (const ToolBarButton& button : toolBarButtons()) {
        if (button.command != kToolBarSeparator && !onToolBar(layout, button.command)) {
            addable.push_back(button.command);
        }
    }
    return addable;
}

std::vector<uint8_t> encodeToolBarLayout(const ToolBarLayout& layout) {
    const ToolBarLayout kept = keptToolBarButtons(layout);
    std::vector<uint8_t> bytes(std::begin(kMagic), std::end(kMagic));
    bytes.push_back(kVersion);
    bytes.push_back(static_cast<uint8_t>(kept.size()));
    for (int command : kept) {
        bytes.push_back(static_cast<uint8_t>(command & 0xFF));
        bytes.push_back(static_cast<uint8_t>((command >> 8) & 0xFF));
    }
    return bytes;
}

std::optional<ToolBarLayout> decodeToolBarLayout(std::span<const uint8_t> bytes) {
    if (bytes.size() < kHeaderBytes ||
        !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin()) || bytes[4] != kVersion) {
        return std::nullopt;
    }
    const size_t count = bytes[5];
    if (count > kMaxToolBarLayoutButtons || bytes.size() != kHeaderBytes + 2 * count) {
        return std::nullopt;
    }
    ToolBarLayout layout;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = kHeaderBytes + 2 * i;
        layout.push_back(bytes[at] | (bytes[at + 1] << 8));
    }
    return keptToolBarButtons(layout);
}

} // namespace corvex
