// The program's instrument panel: the panel object of the whole run, sending through the
// engine client's generated-event port ("Corvex Events") and naming programs in the device
// layer's table, and its window opened by "Inst&rument Panel...". The window's placement is
// remembered while the program runs.
//
// Threads: the user-interface thread only.
#pragma once

#include "instruments/instrument_panel.h"
#include "instruments/ui/instrument_panel_window.h"

#include <QPointer>
#include <QRect>

#include <cstdint>
#include <functional>

namespace corvex {

class PatchNameTable;

class InstrumentPanels {
public:
    // Offers the installed definitions in an instrument folder that holds none.
    InstrumentPanels(GlobalOptions& options, SettingsStore& store);
    ~InstrumentPanels(); // closes the window first

    // Where the monitors take program names from (nothing named without one).
    void setNameTable(PatchNameTable* table) { names_ = table; }
    // Told when the user closes the window.
    void setClosedHandler(std::function<void()> handler) { closed_ = std::move(handler); }
    // Opens the window sending on `client` (nothing is sent without one), or brings it to
    // the front.
    void open(uint64_t client, QWidget* owner);
    void close();
    // WM_CVX_PATCH_SEEN: wParam channel, lParam bank word x 256 + program.
    void patchSeen(uintptr_t wParam, intptr_t lParam);
    CInstrPanel& panel() { return panel_; }
    InstrumentPanelWindow* window() const { return window_; }

private:
    CInstrPanel panel_;
    PatchNameTable* names_ = nullptr;
    uint64_t client_ = 0;
    QPointer<InstrumentPanelWindow> window_;
    QRect placement_;
    std::function<void()> closed_;
};

} // namespace corvex
