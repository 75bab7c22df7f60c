// The commands that tie Corvex to the desktop: "P&lay MIDI..." (33184), "S&elect MIDI
// Player..." (33185) and "File &Associations..." (33196).
//
// Threads: the user-interface thread only.
#pragma once

#include <string>

class QWidget;

namespace corvex {

class DesktopCommands {
public:
    // `playerSetting` is the setting "MIDI Player", kept by the caller's settings record.
    explicit DesktopCommands(std::string& playerSetting);

    bool provides(int id) const;
    // Runs command `id` with dialogs over `owner`; false for a command it does not run.
    bool run(int id, QWidget* owner);

private:
    // Starts the player; while that fails, says so and lets the user choose another one.
    void playMidi(QWidget* owner);
    // The "Choose Your Default MIDI Player" dialog; true when the user confirmed a path.
    bool choosePlayer(QWidget* owner);
    void editAssociations(QWidget* owner);

    std::string& playerSetting_;
};

} // namespace corvex
