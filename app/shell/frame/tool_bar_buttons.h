// The frame's toolbar buttons: the 35 slots in their default order with the command each
// sends, the picture of the image strip it shows, its name in the customise dialog and, for
// the toggles, the picture for each state. Plain constant data and lookups; any thread.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace corvex {

inline constexpr int kToolBarSlotCount = 35;
inline constexpr int kToolBarImageCount = 35; // pictures in the image strip
inline constexpr int kToolBarSeparator = 0;   // the command of a separator slot

struct ToolBarButton {
    int image;   // index into the image strip; -1 for a separator
    int command; // kToolBarSeparator for a separator
    int nameId;  // string id of the name the customise dialog shows
};

// The slots in their default order.
const std::array<ToolBarButton, kToolBarSlotCount>& toolBarButtons();

// The slot of `command` (the first separator for kToolBarSeparator); null when no slot
// sends it.
const ToolBarButton* findToolBarButton(int command);

// The name the customise dialog shows for the button of `command`.
std::string_view toolBarButtonName(int command);

// The picture a button shows: the toggles' picture for their state (`on`), every other
// button its slot's picture; -1 for a command without a slot.
int toolBarImage(int command, bool on);

// Whether the button's picture follows its command's state.
bool hasTogglePictures(int command);

// While the computer keyboard plays MIDI its button alternates between these two pictures
// on the frame's keyboard light timer (dark, lit).
inline constexpr int kKeyboardDarkImage = 19;
inline constexpr int kKeyboardLitImage = 20;

} // namespace corvex
