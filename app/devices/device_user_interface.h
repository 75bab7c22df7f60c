// How the device manager asks the user interface for things. The program implements it with
// Qt (DeviceMessageBoxes in cvx_devices_ui); tests use a recorder.
//
// Called on the user-interface thread only.
#pragma once

#include "device_settings.h"

#include <string>

namespace corvex {

class DeviceUserInterface {
public:
    enum class RetryAnswer { Yes, No, ViewLog };

    virtual ~DeviceUserInterface() = default;

    // A warning box (after a beep), titled with the product caption.
    virtual void showWarning(const std::string& text) = 0;
    // The "Previous Failure" question: "The previous driver opening failed." / "Do you wish
    // to attempt it again?" with "Yes", "No" and "View Log...".
    virtual RetryAnswer askPreviousFailure() = 0;
    // Opens a file with the desktop's viewer; false when that failed.
    virtual bool openFile(const std::string& path) = 0;
    // One line of text for the main monitor.
    virtual void appendMonitorText(const std::string& line) = 0;
    // The ports were opened or closed (the frame's ports-changed command 33186, code 1).
    virtual void portsChanged() = 0;
    // "Pass SysEx" was switched on or off by the device manager (its menu check follows).
    virtual void sysexPassingChanged(bool on) = 0;
    // The device manager changed the SysEx buffer counts or sizes (the dialog, or the
    // minimums enforced when SysEx was switched on or ports opened): the settings keep them.
    virtual void sysexBuffersChanged(const SysExBufferConfig& config) = 0;
};

} // namespace corvex
