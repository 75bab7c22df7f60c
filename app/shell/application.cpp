#include "shell/application.h"

#include "cvxlib.h"
#include "midi.h"
#include "profile/engine_settings.h"
#include "shell/instance_channel.h"
#include "shell/message_target.h"
#include "shell/startup_texts.h"
#include "shell/termination_watcher.h"
#include "shell/user_warning.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>

namespace corvex {
namespace {

// The device manager's questions and notices, as message boxes over the frame.
class DevicePrompts : public DeviceUserInterface {
public:
    void setOwner(QWidget* owner) { owner_ = owner; }

    void showWarning(const std::string& text) override {
        warnUser(owner_, QString::fromStdString(text));
    }
    RetryAnswer askPreviousFailure() override {
        QMessageBox box(QMessageBox::Question, QString::fromUtf8(startup_text::kProductCaption),
                        QStringLiteral("The previous driver opening failed.\n"
                                       "Do you wish to attempt it again?"),
                        QMessageBox::NoButton, owner_);
        QPushButton* yes = box.addButton(QStringLiteral("Yes"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        box.addButton(QStringLiteral("View Log..."), QMessageBox::HelpRole);
        box.exec();
        if (box.clickedButton() == yes) {
            return RetryAnswer::Yes;
        }
        return box.clickedButton() == no ? RetryAnswer::No : RetryAnswer::ViewLog;
    }
    bool openFile(const std::string&) override { return false; }
    void appendMonitorText(const std::string&) override {}
    void portsChanged() override {}
    void sysexPassingChanged(bool) override {}

private:
    QWidget* owner_ = nullptr;
};

// The crash guard's value for this run.
class SessionOpenGuard : public OpenGuardStore {
public:
    int lastOpenFailed() override { return value_; }
    void setLastOpenFailed(int value) override { value_ = value; }

private:
    int value_ = 0;
};

// Runs `action` when the watched window is asked to close, before it closes.
class CloseWatch : public QObject {
public:
    CloseWatch(QObject* parent, std::function<void()> action)
        : QObject(parent), action_(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && !closing_) {
            closing_ = true;
            action_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> action_;
    bool closing_ = false;
};

} // namespace

struct Application::Parts {
    DevicePrompts prompts;
    SessionOpenGuard openGuard;
    PlatformDeviceQuery deviceQuery;
    std::unique_ptr<CMidi> midi;
    std::unique_ptr<QMainWindow> frame;
    QMdiArea* mdiArea = nullptr;
    std::unique_ptr<MessageTarget> mainTarget;
    std::unique_ptr<InstanceServer> instanceServer;
    TerminationWatcher* terminationWatcher = nullptr;
};

Application::Application(CommandLine commandLine, InstanceSlot slot, QString lockFolder,
                         QObject* parent)
    : QObject(parent), commandLine_(std::move(commandLine)), slot_(std::move(slot)),
      lockFolder_(std::move(lockFolder)), parts_(std::make_unique<Parts>()) {
    parts_->midi = std::make_unique<CMidi>(parts_->prompts, parts_->openGuard, parts_->deviceQuery);
}

Application::~Application() {
    finish();
}

uint64_t Application::client() const {
    return parts_->midi->client();
}
CMidi& Application::midi() {
    return *parts_->midi;
}
QMainWindow* Application::frame() const {
    return parts_->frame.get();
}

bool Application::start() {
    DeviceSettings deviceSettings;
    deviceSettings.profileNumber = instanceNumber();
    deviceSettings.versionText = CVX_VERSION;
    parts_->midi->configure(deviceSettings);
    parts_->midi->enumerateDevices();
    parts_->midi->applyCustomNames();
    parts_->midi->restoreSelections();

    if (InitCallBack() == 0) {
        warnUserAndWait(nullptr, QString::fromUtf8(startup_text::kDynamicLink));
        return false;
    }
    callbackStarted_ = true;
    if (!createFrame() || !createClient()) {
        return false;
    }
    openPorts();
    listenForInstances();
    if (commandLine_.sysexVerb != FileVerb::None && !commandLine_.sysexPath.empty()) {
        openNamedSysEx(commandLine_.sysexPath);
    }
    parts_->terminationWatcher = new TerminationWatcher(this);
    connect(parts_->terminationWatcher, &TerminationWatcher::terminationRequested, this,
            &Application::requestExit);
    return true;
}

bool Application::createFrame() {
    auto frame = std::make_unique<QMainWindow>();
    frame->setWindowTitle(QString::fromUtf8(startup_text::kProductCaption));
    parts_->mdiArea = new QMdiArea(frame.get());
    frame->setCentralWidget(parts_->mdiArea);
    frame->installEventFilter(new CloseWatch(frame.get(), [this] { saveOnClose(); }));
    parts_->frame = std::move(frame);
    parts_->prompts.setOwner(parts_->frame.get());
    if (commandLine_.minimizeToTray) {
        parts_->frame->showMinimized();
    } else {
        parts_->frame->show();
    }
    return true;
}

bool Application::createClient() {
    parts_->mainTarget =
        std::make_unique<MessageTarget>([this](uint32_t msg, uintptr_t, intptr_t lParam) {
            if (msg == WM_CVX_EVENTS) {
                EVENT event{};
                while (GetEvent(client(), &event, MON_MAIN) != 0) {
                }
            } else if (msg == WM_CVX_SYSEXDATA) {
                RetBuf(nullptr, static_cast<uint64_t>(lParam));
            }
        });
    const CFilter filter{};
    if (parts_->mainTarget->hwnd() == nullptr ||
        parts_->midi->createClient(parts_->mainTarget->hwnd(), nullptr, filter) == 0) {
        warnUserAndWait(parts_->frame.get(), QString::fromUtf8(startup_text::kClientMemory));
        return false;
    }
    parts_->midi->sendRunStatus(false);
    return true;
}

void Application::openPorts() {
    if (cvx::profile::readAutoOpen(cvx::profile::engineSettingsPath()) == 0) {
        return; // the user asked to start with the ports closed
    }
    if (!parts_->midi->openPorts()) {
        warnUser(parts_->frame.get(), QString::fromUtf8(startup_text::kNoDevices));
    }
}

void Application::listenForInstances() {
    parts_->instanceServer = std::make_unique<InstanceServer>(
        [this](const HandOff& handOff) { acceptHandOff(handOff); });
    parts_->instanceServer->listen(lockFolder_, slot_.slot());
}

void Application::acceptHandOff(const HandOff& handOff) {
    if (handOff.sysexVerb != FileVerb::None) {
        openNamedSysEx(handOff.sysexPath);
    }
    if (parts_->frame) {
        parts_->frame->raise();
        parts_->frame->activateWindow();
    }
    emit handOffReceived(handOff);
}

void Application::openNamedSysEx(const std::string& path) {
    warnUser(parts_->frame.get(),
             fillText(startup_text::kNoSysExView, QString::fromStdString(path)));
}

void Application::requestExit() {
    if (parts_->frame) {
        parts_->frame->close();
    } else {
        QCoreApplication::quit();
    }
}

void Application::saveOnClose() {
    parts_->midi->saveSelections();
    QCoreApplication::quit();
}

void Application::finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    parts_->instanceServer.reset();
    parts_->frame.reset();
    parts_->midi->closePorts();
    parts_->midi->destroyClient();
    parts_->mainTarget.reset();
    if (callbackStarted_) {
        FreeCallBack();
    }
    slot_.release();
}

} // namespace corvex
