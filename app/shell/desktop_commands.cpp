#include "shell/desktop_commands.h"

#include "command_ids.h"
#include "shell/file_associations.h"
#include "shell/file_associations_dialog.h"
#include "shell/midi_player_dialog.h"
#include "shell/player_launch.h"
#include "shell/user_warning.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

namespace corvex {
namespace {

constexpr char kPlayerNotFound[] = "MIDI Player Not Found!";

bool startPlayer(const std::string& setting) {
    const std::string program = playerProgram(
        setting, QCoreApplication::applicationDirPath().toStdString(), CVX_BUILT_PLAYER);
    QStringList arguments;
    for (const std::string& argument : playerArguments(PlayerStart::Alone, {})) {
        arguments << QString::fromStdString(argument);
    }
    return QProcess::startDetached(QString::fromStdString(program), arguments);
}

} // namespace

DesktopCommands::DesktopCommands(std::string& playerSetting) : playerSetting_(playerSetting) {}

bool DesktopCommands::provides(int id) const {
    return id == cmd::kPlayMidi || id == cmd::kSelectMidiPlayer || id == cmd::kFileAssociations;
}

bool DesktopCommands::run(int id, QWidget* owner) {
    switch (id) {
    case cmd::kPlayMidi:
        playMidi(owner);
        return true;
    case cmd::kSelectMidiPlayer:
        choosePlayer(owner);
        return true;
    case cmd::kFileAssociations:
        editAssociations(owner);
        return true;
    default:
        return false;
    }
}

void DesktopCommands::playMidi(QWidget* owner) {
    while (!startPlayer(playerSetting_)) {
        warnUserAndWait(owner, QString::fromUtf8(kPlayerNotFound));
        if (!choosePlayer(owner)) {
            return;
        }
    }
}

bool DesktopCommands::choosePlayer(QWidget* owner) {
    MidiPlayerDialog dialog(QString::fromStdString(playerSetting_), owner);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    playerSetting_ = dialog.playerPath().toStdString();
    return true;
}

void DesktopCommands::editAssociations(QWidget* owner) {
    FileAssociations associations(desktopFoldersFromEnvironment());
    FileAssociationsDialog dialog(associations, owner);
    dialog.exec();
}

} // namespace corvex
