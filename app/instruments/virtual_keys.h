// The key codes the computer keyboard's MIDI logic works with: the classic desktop
// virtual-key numbers (letters and digits are their upper-case characters), with the table
// from the Linux key codes of the physical keys (evdev numbering, as the X and Wayland key
// codes carry it plus 8), so the same physical keys play on any keyboard layout.
//
// Threads: any (pure functions).
#pragma once

#include <cstdint>

namespace corvex::vk {

inline constexpr int kTab = 9;
inline constexpr int kShift = 16;
inline constexpr int kControl = 17;
inline constexpr int kAlt = 18;
inline constexpr int kCapsLock = 20;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kKeyA = 'A';
inline constexpr int kNumpad0 = 96; // 96-105: keypad digits 0-9
inline constexpr int kMultiply = 106;
inline constexpr int kAdd = 107;
inline constexpr int kSeparator = 108;
inline constexpr int kSubtract = 109;
inline constexpr int kDecimal = 110;
inline constexpr int kDivide = 111;
inline constexpr int kF1 = 112; // 112-123: F1-F12
inline constexpr int kF12 = 123;
inline constexpr int kScrollLock = 145;
inline constexpr int kOemSemicolon = 186; // the punctuation keys of a US layout
inline constexpr int kOemEquals = 187;
inline constexpr int kOemComma = 188;
inline constexpr int kOemMinus = 189;
inline constexpr int kOemPeriod = 190;
inline constexpr int kOemSlash = 191;
inline constexpr int kOemGrave = 192;
inline constexpr int kOemLeftBracket = 219;
inline constexpr int kOemBackslash = 220;
inline constexpr int kOemRightBracket = 221;
inline constexpr int kOemQuote = 222;

// One past the highest code.
inline constexpr int kCount = 256;

// The virtual key of a physical key given by its X/Wayland key code (evdev code + 8);
// 0 for a key the keyboard logic does not know.
int fromNativeKeyCode(uint32_t keyCode);

// The character a virtual key produces on a US layout (letters upper case); 0 for keys
// without one.
char characterOf(int virtualKey);

inline bool isKeypad(int virtualKey) {
    return virtualKey >= kNumpad0 && virtualKey <= kDivide;
}
inline bool isKeypadDigit(int virtualKey) {
    return virtualKey >= kNumpad0 && virtualKey <= kNumpad0 + 9;
}
inline bool isFunctionKey(int virtualKey) {
    return virtualKey >= kF1 && virtualKey <= kF12;
}

} // namespace corvex::vk
