// The program's tools for playing MIDI without a MIDI keyboard: the control panel (command
// 33121) and the NRPN calculator (33125), each at most once and keeping its state for the
// program's run, and the computer keyboard (33252). Everything is sent from the engine
// client's generated-event port ("Corvex Events"); nothing is sent without a client.
//
// Threads: the user-interface thread only.
#pragma once

#include "instruments/control_panel.h"
#include "instruments/nrpn_numbers.h"
#include "instruments/ui/control_panel_window.h"
#include "instruments/ui/nrpn_calculator_window.h"
#include "instruments/ui/pc_keyboard_player.h"

#include <QPointer>
#include <QRect>

#include <cstdint>
#include <functional>
#include <string>

namespace corvex {

class KeyboardTools {
public:
    using Client = std::function<uint64_t()>;
    // Asks the frame to destroy the tool window opened by `command`.
    using CloseRequest = std::function<void(int command)>;

    // The key map file is at `keyMapPath`.
    KeyboardTools(std::string keyMapPath, Client client, CloseRequest closeRequest);
    ~KeyboardTools(); // closes the windows and switches the keyboard off

    // The panel's, the calculator's and the keyboard's commands.
    static bool provides(int command);
    // Opens the window of `command` (the panel's or the calculator's), or brings it to the
    // front.
    void open(int command, QWidget* owner);
    void close(int command);
    // WM_CVX_PATCH_SEEN: wParam the channel 0-15, lParam the bank word x 256 + program.
    void patchSeen(uintptr_t wParam, intptr_t lParam);
    void setKeyboardActive(bool on) { player_.setActive(on); }

    ControlPanelWindow* controlPanelWindow() const { return panelWindow_; }
    NrpnCalculatorWindow* calculatorWindow() const { return calculatorWindow_; }

private:
    template <typename Window> void show(Window* window, QRect& placement, int command);

    Client client_;
    CloseRequest closeRequest_;
    ControlPanel panel_;
    NrpnNumbers numbers_;
    PcKeyboardPlayer player_;
    QPointer<ControlPanelWindow> panelWindow_;
    QPointer<NrpnCalculatorWindow> calculatorWindow_;
    QRect panelPlacement_;
    QRect calculatorPlacement_;
};

} // namespace corvex
