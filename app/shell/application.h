// The running program: brings up the settings, the device manager, the frame window, the
// main monitor and the engine client in the start-up order, keeps the instance's slot and
// its channel to other instances, and takes everything down in the reverse order. A
// SIGTERM, SIGINT or SIGHUP closes the frame like the Exit command.
//
// Threads: the user-interface thread only.
#pragma once

#include "shell/command_line.h"
#include "shell/handoff_block.h"
#include "shell/instance_slots.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

namespace corvex {

class CMidi;
class FrameWindow;
struct SettingsProfile;

class Application : public QObject {
    Q_OBJECT

public:
    // `slot` is the instance slot claimed for this process; `lockFolder` is where the
    // instance sockets live.
    Application(CommandLine commandLine, InstanceSlot slot, QString lockFolder,
                QObject* parent = nullptr);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Start-up up to the running state. False after a fatal failure, which has been shown
    // to the user; the program then ends with exit code 1.
    bool start();
    // What follows the message loop: closes the windows and the ports, destroys the engine
    // client, clears this instance's entry in the instance table and frees the slot. Safe
    // to call more than once.
    void finish();

    // The Exit path (also taken on a termination signal): closes the frame, which saves the
    // settings and ends the message loop.
    void requestExit();

    int instanceNumber() const { return slot_.instanceNumber(); }
    int runningCount() const { return slot_.runningCount(); }
    uint64_t client() const;
    CMidi& midi();
    FrameWindow* frame() const;
    const SettingsProfile& settings() const;

signals:
    // A hand-off block from a second start was received and acted on.
    void handOffReceived(const corvex::HandOff& handOff);

private:
    struct Parts;

    void loadSettings();
    void configureDevices();
    bool createFrame();
    void showFrame();
    bool createClient();
    void sendStoredState();
    void openPorts();
    void restoreLayout();
    void watchProcessEvents();
    void acceptHandOff(const HandOff& handOff);
    // A SysEx file from the command line or a second start: sent for "send", else opened.
    void takeSysExFile(FileVerb verb, const std::string& path);
    bool saveOnClose();
    void recordLayout();
    void writeInstanceTable(uint64_t value);
    void clearStaleInstanceEntries();

    CommandLine commandLine_;
    InstanceSlot slot_;
    QString lockFolder_;
    std::unique_ptr<Parts> parts_;
    bool callbackStarted_ = false;
    bool finished_ = false;
};

} // namespace corvex
