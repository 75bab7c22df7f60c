#include "shell/monitor_views.h"

#include "resources/command_ids.h"
#include "shell/user_warning.h"
#include "views/event_text.h"
#include "views/monitor_window.h"

#include <QPointer>

namespace corvex {
namespace {

MonitorFont fontOf(const MonitorLook& look) {
    return {look.fontFace, look.fontSize, look.fontBold, look.fontItalic};
}

} // namespace

struct MonitorViews::Windows {
    EventText text; // outlives both windows (declared first)
    MonitorLook look;
    LookChanged changed;
    QPointer<MonitorWindow> main;
    QPointer<MonitorWindow> input;

    std::array<MonitorWindow*, 2> open() const { return {main.data(), input.data()}; }
    void repaint() const {
        for (MonitorWindow* window : open()) {
            if (window != nullptr) {
                window->viewport()->update();
            }
        }
    }
    // What a monitor changes itself goes into the look, to the other monitor and to the
    // owner of the settings.
    void watch(MonitorWindow& window) {
        QObject::connect(&window, &MonitorWindow::fontChosen, &window,
                         [this](const MonitorFont& font) {
                             look.fontFace = font.faceName;
                             look.fontSize = font.size;
                             look.fontBold = font.bold;
                             look.fontItalic = font.italic;
                             for (MonitorWindow* each : open()) {
                                 if (each != nullptr) {
                                     each->setMonitorFont(font);
                                 }
                             }
                             tell();
                         });
        QObject::connect(&window, &MonitorWindow::hexChanged, &window,
                         [this, kind = window.kind()](bool hex) {
                             (kind == MonitorKind::Input ? look.inputHex : look.outputHex) = hex;
                             tell();
                         });
    }
    void tell() const {
        if (changed) {
            changed(look);
        }
    }

    void style(MonitorWindow& window, bool hex) const {
        window.setColours(look.colours);
        window.setChannelColours(look.channelColours);
        window.setHex(hex);
        window.setDisplayRunning(look.displayRunning);
        window.setMonitorFont(fontOf(look));
    }
    void configureText() {
        text.setMiddleC(look.middleC);
        text.setShowPatchNames(look.showPatchNames);
        text.setAbbreviatePortNames(look.abbreviatePortNames);
    }
};

MonitorViews::MonitorViews(const MonitorLook& look, LookChanged changed)
    : windows_(std::make_unique<Windows>()) {
    windows_->look = look;
    windows_->changed = std::move(changed);
    windows_->configureText();
    windows_->main = new MonitorWindow(MonitorKind::Main, windows_->text);
    windows_->main->setWindowTitle(QString::fromUtf8(MonitorWindow::mainTitle));
    windows_->style(*windows_->main, look.outputHex);
    windows_->watch(*windows_->main);
}

void MonitorViews::setMainActivity(std::function<void()> activity) {
    if (windows_->main) {
        QObject::connect(windows_->main.data(), &MonitorWindow::linesAdded, windows_->main.data(),
                         [activity = std::move(activity)](size_t) { activity(); });
    }
}

MonitorViews::~MonitorViews() {
    // Windows the frame did not take over are still ours.
    if (windows_->main && windows_->main->parent() == nullptr) {
        delete windows_->main;
    }
}

QWidget* MonitorViews::mainMonitor() const {
    return windows_->main;
}

HWND MonitorViews::mainTarget() const {
    return windows_->main ? windows_->main->hwnd() : nullptr;
}

void MonitorViews::attachMain(uint64_t client) {
    if (windows_->main) {
        windows_->main->attach(client);
    }
}

QWidget* MonitorViews::createInputMonitor(uint64_t client, QWidget* owner) {
    auto* window = new MonitorWindow(MonitorKind::Input, windows_->text);
    window->setWindowTitle(QString::fromUtf8(MonitorWindow::inputTitle));
    windows_->style(*window, windows_->look.inputHex);
    if (!window->attach(client)) {
        delete window;
        warnUser(owner, QString::fromUtf8(MonitorWindow::attachFailedMessage));
        return nullptr;
    }
    windows_->input = window;
    windows_->watch(*window);
    return window;
}

void MonitorViews::setMainLineObserver(std::function<void(const MonitorLine&)> observer) {
    if (windows_->main) {
        windows_->main->model().setLineObserver(std::move(observer));
    }
}

void MonitorViews::mainLineText(const MonitorLine& line, std::string& out) const {
    const NumberStyle style =
        windows_->main ? windows_->main->model().numberStyle() : NumberStyle::Hex;
    formatMonitorLine(windows_->text, line, style, out);
}

void MonitorViews::appendMainText(std::string_view text) {
    if (windows_->main) {
        windows_->main->appendText(text);
    }
}

void MonitorViews::setDisplayRunning(bool on) {
    windows_->look.displayRunning = on;
    for (MonitorWindow* window : {windows_->main.data(), windows_->input.data()}) {
        if (window != nullptr) {
            window->setDisplayRunning(on);
        }
    }
}

void MonitorViews::setHex(bool input, bool hex) {
    (input ? windows_->look.inputHex : windows_->look.outputHex) = hex;
    MonitorWindow* window = input ? windows_->input.data() : windows_->main.data();
    if (window != nullptr) {
        window->setHex(hex);
    }
}

intptr_t MonitorViews::mainMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return windows_->main ? windows_->main->handleMessage(message, wParam, lParam) : 0;
}

bool MonitorViews::monitorCommand(bool input, int command, intptr_t argument) {
    MonitorWindow* window = input ? windows_->input.data() : windows_->main.data();
    if (window != nullptr && command == cmd::kInputMonitorFont) {
        return window->setMonitorFont(fontOf(windows_->look));
    }
    return window != nullptr && window->runCommand(command, argument);
}

const MonitorLook& MonitorViews::look() const {
    return windows_->look;
}

void MonitorViews::setPortNames(const std::vector<std::string>& inputs,
                                const std::vector<std::string>& outputs) {
    windows_->text.setPortNames(inputs, outputs);
    windows_->repaint();
}

void MonitorViews::applyLook(const MonitorLook& look) {
    windows_->look = look;
    windows_->configureText();
    if (windows_->main) {
        windows_->style(*windows_->main, look.outputHex);
    }
    if (windows_->input) {
        windows_->style(*windows_->input, look.inputHex);
    }
}

} // namespace corvex
