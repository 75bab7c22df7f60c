// The program's monitor windows: the main monitor (the engine client's window) and the
// input monitor, made from plain settings values and kept behind this small interface so
// the start-up code needs no view headers.
//
// Threads: the user-interface thread only.
#pragma once

#include "colour_table.h"
#include "cvx_platform.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QWidget;

namespace corvex {

// What the monitors show and how, from the settings record.
struct MonitorLook {
    ColourScheme colours{}; // red in the low byte
    bool channelColours = false;
    bool displayRunning = true;
    bool inputHex = true;
    bool outputHex = true;
    int middleC = 4;
    bool showPatchNames = false;
    bool abbreviatePortNames = false;
    std::string fontFace = "Courier New";
    int fontSize = 9;
    bool fontBold = false;
    bool fontItalic = false;
};

class MonitorViews {
public:
    explicit MonitorViews(const MonitorLook& look);
    ~MonitorViews();
    MonitorViews(const MonitorViews&) = delete;
    MonitorViews& operator=(const MonitorViews&) = delete;

    // The main monitor, made at construction; the frame takes it over with addView.
    QWidget* mainMonitor() const;
    HWND mainTarget() const;
    // Starts reading the client's main queue.
    void attachMain(uint64_t client);

    // Makes the input monitor and attaches it to the raw input queue; null (after telling
    // the user) when the attachment fails.
    QWidget* createInputMonitor(uint64_t client, QWidget* owner);

    void appendMainText(std::string_view text);
    void setDisplayRunning(bool on);
    void setHex(bool input, bool hex);
    // The main monitor's replies to frame messages; 0 when it is gone.
    intptr_t mainMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    // A command for one monitor; false when that monitor is not open.
    bool monitorCommand(bool input, int command, intptr_t argument);
    void applyLook(const MonitorLook& look);

private:
    struct Windows;
    std::unique_ptr<Windows> windows_;
};

} // namespace corvex
