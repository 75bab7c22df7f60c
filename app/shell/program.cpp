#include "shell/program.h"

#include "ini/engine_settings.h"
#include "shell/application.h"
#include "shell/instance_channel.h"
#include "shell/registration.h"
#include "shell/startup_texts.h"
#include "shell/termination_signals.h"
#include "shell/usage_text.h"
#include "shell/user_warning.h"
#include "window_messages.h"

#include <QApplication>
#include <QStringList>
#include <QThread>

#include <cstdio>

namespace corvex {
namespace {

// How long a second start waits for a running instance to answer.
constexpr int kInstanceTimeoutMs = 3000;

std::vector<std::string> argumentsOf(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    return arguments;
}

// The command line as the user typed it, for the messages that quote it.
QString wholeCommandLine(int argc, char** argv) {
    QStringList words;
    for (int i = 0; i < argc; ++i) {
        const QString word = QString::fromLocal8Bit(argv[i]);
        words << (word.contains(QLatin1Char(' ')) ? QLatin1Char('"') + word + QLatin1Char('"')
                                                  : word);
    }
    return words.join(QLatin1Char(' '));
}

// Answers --help and --version; -1 when neither was asked for.
int answerInfoRequest(const std::vector<std::string>& arguments) {
    switch (findInfoRequest(arguments)) {
    case InfoRequest::Help:
        std::fputs(usageText().c_str(), stdout);
        return 0;
    case InfoRequest::Version:
        std::fputs(versionText().c_str(), stdout);
        return 0;
    case InfoRequest::None:
        break;
    }
    return -1;
}

enum class HandOffOutcome { HandedOver, NoInstance, Refused };

// Result 4: gives the files to a running instance, when there is one.
HandOffOutcome handOffToRunningInstance(const CommandLine& line, const QString& folder) {
    const HandOff handOff = handOffOf(line);
    const std::optional<HandOffBytes> block = encodeHandOff(handOff);
    if (!block) {
        const std::string& longPath =
            handOff.mapPath.size() > kHandOffMaxPathLength ? handOff.mapPath : handOff.sysexPath;
        warnUserAndWait(nullptr,
                        fillText(startup_text::kPathTooLong, QString::fromStdString(longPath)));
        return HandOffOutcome::Refused;
    }
    const std::optional<int> slot = findLiveInstance(folder, kInstanceTimeoutMs);
    if (!slot) {
        return HandOffOutcome::NoInstance;
    }
    const std::optional<int32_t> reply =
        sendInstanceMessage(folder, *slot, WM_CVX_HANDOFF, &*block, kInstanceTimeoutMs);
    // An instance that went away meanwhile: this start takes the files itself.
    return reply == 0 ? HandOffOutcome::HandedOver : HandOffOutcome::NoInstance;
}

int runApplication(CommandLine line, InstanceSlot slot, const QString& folder) {
    Application application(std::move(line), std::move(slot), folder);
    if (!application.start()) {
        application.finish();
        QThread::sleep(1);
        return 1;
    }
    const int code = QApplication::exec();
    application.finish();
    return code;
}

} // namespace

int runCorvex(int argc, char** argv) {
    const std::vector<std::string> arguments = argumentsOf(argc, argv);
    if (const int code = answerInfoRequest(arguments); code >= 0) {
        return code;
    }
    CommandLine line = parseCommandLine(arguments);
    if (line.registration != Registration::None) {
        const RegistrationOutcome outcome =
            performRegistration(line.registration, cvx::profile::engineSettingsPath());
        if (!outcome.message.empty()) {
            std::fprintf(stderr, "%s\n", outcome.message.c_str());
        }
        return outcome.exitCode;
    }

    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvex"));
    QApplication::setApplicationVersion(QStringLiteral(CVX_VERSION));
    // Ties the windows to the installed corvex.desktop (its name and icon in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("corvex"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (line.result == 0 || line.result == 1) {
        const char* text =
            line.result == 0 ? startup_text::kCannotInterpret : startup_text::kFileNotFound;
        warnUserAndWait(nullptr, fillText(text, wholeCommandLine(argc, argv)));
        return 0;
    }
    const QString folder = QString::fromStdString(instanceLockFolder());
    if (line.result == 4) {
        switch (handOffToRunningInstance(line, folder)) {
        case HandOffOutcome::HandedOver:
            return 0;
        case HandOffOutcome::Refused:
            return 1;
        case HandOffOutcome::NoInstance:
            break;
        }
    }
    // From here on a termination signal waits in its pipe until the event loop runs and then
    // closes the program the normal way, however early in the start-up it came.
    installTerminationSignals();
    std::optional<InstanceSlot> slot = claimInstanceSlot(folder.toStdString());
    if (!slot) {
        return 1; // all sixteen slots are taken
    }
    return runApplication(std::move(line), std::move(*slot), folder);
}

} // namespace corvex
