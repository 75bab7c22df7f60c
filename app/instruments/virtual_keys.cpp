#include "instruments/virtual_keys.h"

#include <linux/input-event-codes.h>

#include <array>
#include <utility>

namespace corvex::vk {
namespace {

// X and Wayland key codes are the kernel's key codes plus 8.
constexpr uint32_t kNativeOffset = 8;

constexpr std::pair<int, int> kKernelKeys[] = {
    {KEY_1, '1'},
    {KEY_2, '2'},
    {KEY_3, '3'},
    {KEY_4, '4'},
    {KEY_5, '5'},
    {KEY_6, '6'},
    {KEY_7, '7'},
    {KEY_8, '8'},
    {KEY_9, '9'},
    {KEY_0, '0'},
    {KEY_MINUS, kOemMinus},
    {KEY_EQUAL, kOemEquals},
    {KEY_TAB, kTab},
    {KEY_Q, 'Q'},
    {KEY_W, 'W'},
    {KEY_E, 'E'},
    {KEY_R, 'R'},
    {KEY_T, 'T'},
    {KEY_Y, 'Y'},
    {KEY_U, 'U'},
    {KEY_I, 'I'},
    {KEY_O, 'O'},
    {KEY_P, 'P'},
    {KEY_LEFTBRACE, kOemLeftBracket},
    {KEY_RIGHTBRACE, kOemRightBracket},
    {KEY_LEFTCTRL, kControl},
    {KEY_A, 'A'},
    {KEY_S, 'S'},
    {KEY_D, 'D'},
    {KEY_F, 'F'},
    {KEY_G, 'G'},
    {KEY_H, 'H'},
    {KEY_J, 'J'},
    {KEY_K, 'K'},
    {KEY_L, 'L'},
    {KEY_SEMICOLON, kOemSemicolon},
    {KEY_APOSTROPHE, kOemQuote},
    {KEY_GRAVE, kOemGrave},
    {KEY_LEFTSHIFT, kShift},
    {KEY_BACKSLASH, kOemBackslash},
    {KEY_Z, 'Z'},
    {KEY_X, 'X'},
    {KEY_C, 'C'},
    {KEY_V, 'V'},
    {KEY_B, 'B'},
    {KEY_N, 'N'},
    {KEY_M, 'M'},
    {KEY_COMMA, kOemComma},
    {KEY_DOT, kOemPeriod},
    {KEY_SLASH, kOemSlash},
    {KEY_RIGHTSHIFT, kShift},
    {KEY_KPASTERISK, kMultiply},
    {KEY_LEFTALT, kAlt},
    {KEY_CAPSLOCK, kCapsLock},
    {KEY_F1, kF1},
    {KEY_F2, kF1 + 1},
    {KEY_F3, kF1 + 2},
    {KEY_F4, kF1 + 3},
    {KEY_F5, kF1 + 4},
    {KEY_F6, kF1 + 5},
    {KEY_F7, kF1 + 6},
    {KEY_F8, kF1 + 7},
    {KEY_F9, kF1 + 8},
    {KEY_F10, kF1 + 9},
    {KEY_F11, kF1 + 10},
    {KEY_F12, kF1 + 11},
    {KEY_SCROLLLOCK, kScrollLock},
    {KEY_KP7, kNumpad0 + 7},
    {KEY_KP8, kNumpad0 + 8},
    {KEY_KP9, kNumpad0 + 9},
    {KEY_KPMINUS, kSubtract},
    {KEY_KP4, kNumpad0 + 4},
    {KEY_KP5, kNumpad0 + 5},
    {KEY_KP6, kNumpad0 + 6},
    {KEY_KPPLUS, kAdd},
    {KEY_KP1, kNumpad0 + 1},
    {KEY_KP2, kNumpad0 + 2},
    {KEY_KP3, kNumpad0 + 3},
    {KEY_KP0, kNumpad0},
    {KEY_KPDOT, kDecimal},
    {KEY_KPCOMMA, kSeparator},
    {KEY_RIGHTCTRL, kControl},
    {KEY_KPSLASH, kDivide},
    {KEY_RIGHTALT, kAlt},
    {KEY_HOME, kHome},
    {KEY_UP, kUp},
    {KEY_PAGEUP, kPageUp},
    {KEY_LEFT, kLeft},
    {KEY_RIGHT, kRight},
    {KEY_END, kEnd},
    {KEY_DOWN, kDown},
    {KEY_PAGEDOWN, kPageDown},
    {KEY_INSERT, kInsert},
    {KEY_DELETE, kDelete},
};

constexpr std::pair<int, char> kPunctuation[] = {
    {kOemSemicolon, ';'},  {kOemEquals, '='},       {kOemComma, ','},  {kOemMinus, '-'},
    {kOemPeriod, '.'},     {kOemSlash, '/'},        {kOemGrave, '`'},  {kOemLeftBracket, '['},
    {kOemBackslash, '\\'}, {kOemRightBracket, ']'}, {kOemQuote, '\''},
};

} // namespace

int fromNativeKeyCode(uint32_t keyCode) {
    if (keyCode < kNativeOffset) {
        return 0;
    }
    for (const auto& [kernel, virtualKey] : kKernelKeys) {
        if (static_cast<uint32_t>(kernel) + kNativeOffset == keyCode) {
            return virtualKey;
        }
    }
    return 0;
}

char characterOf(int virtualKey) {
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
        return static_cast<char>(virtualKey);
    }
    for (const auto& [key, character] : kPunctuation) {
        if (key == virtualKey) {
            return character;
        }
    }
    return 0;
}

} // namespace corvex::vk
