// The program's menus as data: the menu bar "Menu" and the monitor context menu
// "MonPopupMenu". Each command item carries its command id and its text with the "&"
// mnemonic and, after a tab, the accelerator shown. Plain constant data, usable from any
// thread.
#pragma once

#include <span>
#include <string_view>

namespace corvex {

struct MenuItem {
    enum class Kind { Command, Separator, Popup };
    Kind kind = Kind::Separator;
    int id = 0;                      // command id; 0 for separators and popups
    std::string_view text;           // empty for separators
    std::span<const MenuItem> items; // a popup's items
};

// The six top-level popups of the menu bar, in order: "&File", "&View", "&Actions",
// "&Options", "&Window", "&Help". The window list is appended to the fifth.
std::span<const MenuItem> mainMenu();

// The context menu of the multiple-document client area; the frame rewrites its first two
// items for the monitor under the cursor.
std::span<const MenuItem> monitorPopupMenu();

// Index of the popup that receives the list of child windows.
inline constexpr int kWindowMenuIndex = 4;

// The item with this command id anywhere in `menu`, or null.
const MenuItem* findMenuItem(std::span<const MenuItem> menu, int id);

} // namespace corvex
