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
// The toolbar's 35 pictures side by side, each kToolBarImageSize pixels square.
inline constexpr char kToolBarStrip[] = ":/corvex/toolbar.png";
inline constexpr int kToolBarImageSize = 24;
// The tray icon's built-in animation.
inline constexpr const char* kTrayFrames[] = {":/corvex/tray0.png", ":/corvex/tray1.png",
                                              ":/corvex/tray2.png", ":/corvex/tray3.png"};

} // namespace corvex::image
