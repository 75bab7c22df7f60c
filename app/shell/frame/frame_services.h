// What the frame needs from the rest of the program: the engine client, the device
// manager, the settings, the views and the features that other parts of the program build.
// The program implements this interface and hands it to the frame; tests hand a fake.
//
// Threads: the frame calls every function on the user-interface thread only.
#pragma once

#include "frame_options.h"
#include "mdi_layout.h"

#include "ini/engine_settings.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace corvex {

// The multiple-document child windows the frame opens, by the kind numbers of the saved
// window layout.
enum class ViewKind : int {
    MainMonitor = 0,
    InputMonitor = 1,
    MidiStatus = 2,
    PortStatus = 3,
    PortRouting = 4,
};
inline constexpr int kViewKindCount = 5;

// The command that opens a view.
int viewCommand(ViewKind kind);

// The text listings that go to the main monitor.
enum class Listing { DeviceInfo, RunningStatus, CurrentMap };

// The kinds of the shared file dialogs; each but None has a remembered folder.
enum class FileKind : int { None = 0, Map = 1, SysEx = 2, Profile = 3, Snapshot = 5 };

// One short message for corvexEvent: status without channel, channel 0..15, two data bytes.
struct ShortMessage {
    uint16_t status = 0;
    uint16_t channel = 0;
    uint16_t data1 = 0;
    uint16_t data2 = 0;

    bool operator==(const ShortMessage&) const = default;
};

class FrameServices {
public:
    virtual ~FrameServices() = default;

    // ---- Engine ---------------------------------------------------------------------------
    // The engine client; 0 while there is none.
    virtual uint64_t engineClient() const = 0;
    // Injects one message from the generated-event port (corvexEvent, type 0).
    virtual void sendShortMessage(const ShortMessage& message) = 0;
    // Sends one SysEx message to the open outputs (SendSysEx); false when it was not sent.
    virtual bool sendSysEx(std::span<const uint8_t> bytes) = 0;
    // The panic reset's messages and pacing from the engine's settings.
    virtual cvx::profile::PanicSettings panicSettings() const = 0;

    // ---- Ports (device manager) -----------------------------------------------------------
    virtual int openOutputCount() const = 0;
    // The inputs open now (the status bar's count).
    virtual int openInputCount() const = 0;
    // Whether the selected ports are open (false after "Release MIDI" or with AutoOpen=0).
    virtual bool portsOpen() const = 0;
    // Allocates or frees the SysEx buffers of the open ports; returns the state now in force
    // (a failed allocation leaves it off and has told the user why).
    virtual bool setPassSysEx(bool on) = 0;
    // Compares the device lists with the open ports and recovers after a change; true when
    // something changed (the frame then refreshes what shows ports).
    virtual bool checkDeviceChange() = 0;
    // Writes a listing of the current state into the main monitor.
    virtual void showListing(Listing listing) = 0;
    // Switches the computer keyboard as a MIDI keyboard on or off; false when it could not
    // be switched on.
    virtual bool setPcKeyboardActive(bool on) = 0;

    // ---- Settings -------------------------------------------------------------------------
    virtual GeneralOptions generalOptions() const = 0;
    // Stores the options and applies them (running status to the engine, monitor text).
    virtual void setGeneralOptions(const GeneralOptions& options) = 0;
    virtual FolderSettings folders() const = 0;
    // Stores the folders as both the configured and the current folder of each kind.
    virtual void setFolders(const FolderSettings& folders) = 0;
    virtual std::string rememberedFolder(FileKind kind) const = 0;
    virtual void setRememberedFolder(FileKind kind, const std::string& folder) = 0;
    // The frame's toggles that are saved with the settings, told on every change.
    virtual void setMonitoringDisplayed(bool on) = 0;
    virtual void setMonitorHex(ViewKind monitor, bool hex) = 0;
    // The toolbar's stored layout (the bytes of encodeToolBarLayout); nothing when none.
    virtual std::optional<std::vector<uint8_t>> savedToolBarLayout() const = 0;
    virtual void saveToolBarLayout(std::span<const uint8_t> layout) = 0;

    // ---- Files ----------------------------------------------------------------------------
    // Each reports its own failure to the user and returns false.
    virtual bool loadProfile(const std::string& path) = 0;
    virtual bool saveProfile(const std::string& path) = 0;
    virtual bool loadGlobalMap(const std::string& path) = 0; // becomes the global data map
    // Whether the global data map has entries (the tray menu greys its switch otherwise).
    virtual bool globalMapHasEntries() const = 0;
    virtual bool openSysExFile(const std::string& path) = 0; // SysEx view, file loaded
    virtual bool loadSnapshot(const std::string& path) = 0;  // MIDI status view, file loaded
    // The program's folder ("share/corvex" of the installation).
    virtual std::string programFolder() const = 0;
    virtual int instanceNumber() const = 0;

    // ---- Views ----------------------------------------------------------------------------
    // Sends a command to an open view (for example kViewHexDisplay with the new state).
    virtual void sendViewCommand(ViewKind view, int command, intptr_t argument) = 0;
    // The view's saved placement; false when it was never placed.
    virtual bool savedPlacement(ViewKind view, Rect& placement) const = 0;
    // A view is closing at `placement`, to be stored for the next time it opens.
    virtual void viewClosed(ViewKind view, const Rect& placement) = 0;
    // A message the frame passes on with the same parameters, returning the reply:
    // WM_CVX_EVENTS, WM_CVX_MONITORTEXT and WM_CVX_SYSEXDATA to the main monitor,
    // WM_CVX_SCRIPTINPUT to the script host, WM_CVX_PATCH_SEEN to the control and
    // instrument panels, WM_CVX_HANDOFF to the hand-off from a second instance.
    virtual intptr_t passOn(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;

    // ---- Features built elsewhere ---------------------------------------------------------
    // Whether the program runs command `id` itself (dialogs, tool windows and views of other
    // parts). Menu items of commands nobody runs stay disabled.
    virtual bool providesCommand(int id) const = 0;
    // Runs such a command; for a tool window, true when it is now open.
    virtual bool runCommand(int id) = 0;
    // Closes the tool window opened by command `id`.
    virtual void closeToolWindow(int id) = 0;
};

} // namespace corvex
