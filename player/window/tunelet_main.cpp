// tunelet: plays Standard MIDI Files through the MIDI service (loopback cables, ALSA, JACK).
//   tunelet [-open|-play|-send] [file.mid]   ("--word" and "/word" work as well)
// With "SingleInstance" on and a player already running, the file goes to that player and
// this start ends. SIGTERM, SIGINT and SIGHUP close the window as the user would, so the
// settings are saved, even while a message box is showing. An unknown switch is reported
// and no file is opened.
#include "instance_channel.h"
#include "output_ports.h"
#include "player_command_line.h"
#include "player_settings.h"
#include "player_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gSignalPipe[2] = {-1, -1};
// Set once SIGTERM, SIGINT or SIGHUP arrived: the player ends, whatever it is showing.
bool gEnding = false;
QWidget* gWindow = nullptr;

void onSignal(int) {
    char byte = 1;
    [[maybe_unused]] ssize_t written = write(gSignalPipe[1], &byte, 1);
}

// Installed before anything can show a message box. The window closes as its close button
// closes it (the file is closed, the settings saved), and every event loop ends, a message
// box's own included.
void endOnSignals(QApplication& app) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        [[maybe_unused]] ssize_t got = read(gSignalPipe[0], &byte, 1);
        gEnding = true;
        if (gWindow != nullptr) {
            gWindow->close();
        }
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

// On stderr, and in a message box where there is a screen to show it on.
void failure(const QString& text) {
    std::fprintf(stderr, "tunelet: %s\n", text.toLocal8Bit().constData());
    if (QGuiApplication::platformName() != "offscreen") {
        QApplication::beep();
        QMessageBox::warning(nullptr, corvex::kPlayerCaption, text);
    }
}

constexpr char kUsage[] = "Usage: tunelet [-open | -play | -send] [file.mid]\n"
                          "Plays a Standard MIDI File. -play starts playing at once; -open and\n"
                          "-send only open it. Switches may also be written --play or /play.\n";

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    corvex::PlayerCommand command = corvex::parsePlayerCommandLine(arguments);
    if (command.help || command.version) {
        if (command.help) {
            std::fputs(kUsage, stdout);
        } else {
            std::printf("tunelet %s\n", CVX_VERSION);
        }
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("tunelet");
    // Ties the window to the installed tunelet.desktop (its name and icon in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("tunelet"));
    // The player ends when its window closes, not when a dialog closes while it is in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    endOnSignals(app);

    corvex::SettingsStore store;
    corvex::PlayerSettings settings = corvex::readPlayerSettings(store);
    if (settings.singleInstance && corvex::playerRunning()) {
        if (command.verb == corvex::PlayerVerb::None) {
            return 0;
        }
        uint32_t id =
            command.verb == corvex::PlayerVerb::Play ? corvex::kHandOffPlay : corvex::kHandOffOpen;
        switch (corvex::sendHandOff({id, command.path})) {
        case corvex::HandOffResult::Delivered:
            return 0;
        case corvex::HandOffResult::TooLong:
            failure(QString("The path of \"%1\" is longer than 260 bytes; the running Tunelet "
                            "cannot take it.")
                        .arg(QString::fromStdString(command.path)));
            return 1;
        case corvex::HandOffResult::NoPlayer:
            break; // it ended meanwhile: this start plays the file itself
        }
    }

    if (!command.unknownSwitch.empty()) {
        failure(QString("Unknown switch \"%1\": no file is opened.\n%2")
                    .arg(QString::fromStdString(command.unknownSwitch), kUsage));
    }
    std::string problem;
    std::vector<std::string> ports = corvex::outputDeviceNames(&problem);
    if (!problem.empty()) {
        failure(QString::fromStdString(problem));
    }
    if (ports.empty()) {
        failure("There are no MIDI output devices.");
        return 1;
    }
    if (gEnding) {
        return 0;
    }
    int result = 1;
    try {
        corvex::PlayerWindow window(store, settings, std::move(ports));
        gWindow = &window;
        window.show();
        window.applySavedOptions();
        if (command.verb != corvex::PlayerVerb::None) {
            // From inside the event loop, so that a signal meanwhile ends the player.
            QTimer::singleShot(0, &window, [&window, command] {
                window.openFromCommandLine(command.path, command.verb == corvex::PlayerVerb::Play);
            });
        }
        result = app.exec();
        gWindow = nullptr;
    } catch (const std::runtime_error& error) { // the window could not be made
        failure(error.what());
    }
    return result; // the MIDI service ends its backends at exit
}
