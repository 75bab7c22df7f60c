// Qt resource paths of the program's pictures (corvex.qrc, linked through cvx_resources_ui).
#pragma once

namespace corvex::image {

inline constexpr char kFrameIcon[] = ":/corvex/frame.png";
inline constexpr char kMonitorIcon[] = ":/corvex/monitor.png";
inline constexpr char kMidiStatusIcon[] = ":/corvex/midi_status.png";
inline constexpr char kPortStatusIcon[] = ":/corvex/port_status.png";
inline constexpr char kRoutingIcon[] = ":/corvex/routing.png";
inline constexpr char kKeyboard[] = ":/corvex/keyboard.png";
inline constexpr char kKeyboardLit[] = ":/corvex/keyboard_lit.png";
inline constexpr char kBackground1[] = ":/corvex/background1.png";
inline constexpr char kBackground2[] = ":/corvex/background2.png";

} // namespace corvex::image
