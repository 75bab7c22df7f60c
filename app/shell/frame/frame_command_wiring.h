// Fills the frame's one command table: every command of the menus, the accelerators, the
// toolbar, the tray menu and other windows, bound to what the frame, its views and its
// effects do, or handed to the program. Used once when the frame is made; the handlers hold
// the frame, never the wiring.
//
// Threads: user-interface thread only.
#pragma once

namespace corvex {

class CommandTable;
class FrameWindow;

class FrameCommandWiring {
public:
    explicit FrameCommandWiring(FrameWindow& frame) : frame_(frame) {}

    void wire(CommandTable& table);

private:
    void addProgramCommands(CommandTable& table);
    void addFileAndHelpCommands(CommandTable& table);
    void addWindowCommands(CommandTable& table);
    void addMonitorCommands(CommandTable& table);
    void addActionCommands(CommandTable& table);
    void addNotifications(CommandTable& table);
    // A command of the program; after one that opened or released the ports, the frame
    // follows the ports.
    static void runProgramCommand(FrameWindow& frame, int id);

    FrameWindow& frame_;
};

} // namespace corvex
