// The application's own window messages (the engine's notifications are in cvx_records.h).
// Their values are fixed: several cross process boundaries. Plain constants.
#pragma once

#include <cstdint>

namespace corvex {

// lParam: the command id that opened the tool window; wParam 2: destroy it first.
inline constexpr uint32_t WM_CVX_CHILDCLOSED = 0x8015;
inline constexpr uint32_t WM_CVX_TRAYANIMATE = 0x8016;
inline constexpr uint32_t WM_CVX_MONITORTEXT = 0x8018; // lParam: const char* text
inline constexpr uint32_t WM_CVX_PING = 0x8028;        // replies 1
inline constexpr uint32_t WM_CVX_GETCLIENT = 0x8029;   // replies the engine client
inline constexpr uint32_t WM_CVX_HANDOFF = 0x802A;
inline constexpr uint32_t WM_CVX_TRAYNOTIFY = 0x8032;
inline constexpr uint32_t WM_CVX_PATCH_SEEN = 0x8033;
// lParam: the QWidget* of the modeless dialog that gets keyboard navigation (0: none).
inline constexpr uint32_t WM_CVX_SETDIALOG = 0x8034;
inline constexpr uint32_t WM_CVX_ASKMONITOR = 0x8035; // wParam 33191: is the monitor marking?

// Platform message numbers the frame's message handler understands.
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_COMMAND = 0x0111; // wParam: id | notification code << 16

// WM_CVX_CHILDCLOSED wParam asking the frame to destroy the window before forgetting it.
inline constexpr uintptr_t kChildClosedDestroy = 2;

} // namespace corvex
