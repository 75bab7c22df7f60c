// The command ids and window messages a monitor window answers, as the frame sends them.
// Their values are fixed (menus, accelerators and other windows use them). Constants.
#ifndef CORVEX_VIEWS_MONITOR_COMMANDS_H
#define CORVEX_VIEWS_MONITOR_COMMANDS_H

#include <cstdint>

namespace corvex::monitor_command {

inline constexpr int setHex = 33146; // argument 1 hexadecimal, 0 decimal
inline constexpr int toggleMarking = 33189;
inline constexpr int copySelection = 33190; // copies and ends marking
inline constexpr int markWindow = 33192;
inline constexpr int copyAll = 33193;
inline constexpr int clear = 33220;
inline constexpr int chooseFont = 33263;
inline constexpr int reloadFont = 33128;
inline constexpr int askMarking = 33191; // wParam of the ask-monitor message

// Window messages besides the engine's notifications (cvx_records.h).
inline constexpr uint32_t monitorTextMessage = 0x8018; // lParam: NUL-terminated UTF-8 text
inline constexpr uint32_t askMonitorMessage = 0x8035;  // wParam askMarking: 1 while marking
inline constexpr uint32_t commandMessage = 0x0111;     // wParam: id | code << 16

} // namespace corvex::monitor_command

#endif
