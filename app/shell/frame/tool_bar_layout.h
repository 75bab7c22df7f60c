// The order and visibility of the toolbar's buttons as the user customised them, and the
// stored form of it (the binary value "Toolbar6" of the settings key "Toolbar").
//
// Stored form: the bytes "CVTB", a version byte (1), a count byte, then per button its
// command as an unsigned 16-bit little-endian number, 0 for a separator. A value of any other
// shape is refused whole; commands that no slot sends and second copies of a button are
// dropped, so a layout from another version still gives a usable toolbar.
//
// Plain logic; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace corvex {

// Commands of the buttons on the toolbar, left to right; kToolBarSeparator for a separator.
using ToolBarLayout = std::vector<int>;

// Most buttons a stored layout holds (every slot, and as many extra separators).
inline constexpr size_t kMaxToolBarLayoutButtons = 70;

// Every slot in its default order.
ToolBarLayout defaultToolBarLayout();

// `layout` without the buttons no slot sends and without second copies of a button.
ToolBarLayout keptToolBarButtons(const ToolBarLayout& layout);

// What the customise dialog offers to add: a separator, then each slot's button that is
// not on the toolbar, in slot order.
ToolBarLayout addableToolBarButtons(const ToolBarLayout& layout);

std::vector<uint8_t> encodeToolBarLayout(const ToolBarLayout& layout);
// Nothing for bytes not of the stored form; the kept buttons otherwise.
std::optional<ToolBarLayout> decodeToolBarLayout(std::span<const uint8_t> bytes);

} // namespace corvex
