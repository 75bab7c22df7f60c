// The program's monitor windows: the main monitor (the engine client's window) and the
// input monitor, made from plain settings values and kept behind this small interface so
// the start-up code needs no view headers.
//
// Threads: the user-interface thread only.
#pragma once

#include "colour_table.h"
#include "cvx_platform.h"
#include "views/monitor_line.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
    // Told with the whole look when a monitor changed it itself: a font chosen in its font
    // dialog, or the number style switched from its own context menu.
    using LookChanged = std::function<void(const MonitorLook&)>;

    explicit MonitorViews(const MonitorLook& look, LookChanged changed = {});
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

    // Told about each line the main monitor stores (the status data and the log follow it),
    // and the text the main monitor shows for such a line, into `out`.
    void setMainLineObserver(std::function<void(const MonitorLine&)> observer);
    void mainLineText(const MonitorLine& line, std::string& out) const;
    // Told each time the main monitor has shown newly drained output.
    void setMainActivity(std::function<void()> activity);

    void appendMainText(std::string_view text);
    void setDisplayRunning(bool on);
    void setHex(bool input, bool hex);
    // The main monitor's replies to frame messages; 0 when it is gone.
    intptr_t mainMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    // A command for one monitor; false when that monitor is not open. Reloading the font
    // applies the look's font.
    bool monitorCommand(bool input, int command, intptr_t argument);
    void applyLook(const MonitorLook& look);
    const MonitorLook& look() const;
    // The names shown, first three columns, in the IN and PORT columns while abbreviation is
    // on: by device index (custom name, else device name).
    void setPortNames(const std::vector<std::string>& inputs,
                      const std::vector<std::string>& outputs);

private:
    struct Windows;
    std::unique_ptr<Windows> windows_;
};

} // namespace corvex
