#include "instruments/ui/keyboard_tools.h"

#include "command_ids.h"

#include "cvxlib.h"

namespace corvex {
namespace {

// The injection types of the generated-event port: the panels', the computer keyboard's.
constexpr int kPanelEvent = 0;
constexpr int kKeyboardEvent = 1;

} // namespace

KeyboardTools::KeyboardTools(std::string keyMapPath, Client client, CloseRequest closeRequest)
    : client_(std::move(client)), closeRequest_(std::move(closeRequest)),
      panel_([this](const PanelMessage& message) {
          if (const uint64_t target = client_()) {
              corvexEvent(target, message.status, message.channel, message.data1, message.data2,
                          kPanelEvent);
          }
      }),
      player_(std::move(keyMapPath), [this](const KeyboardMessage& message) {
          if (const uint64_t target = client_()) {
              corvexEvent(target, message.status & 0xF0, message.status & 0x0F, message.data1,
                          message.data2, kKeyboardEvent);
          }
      }) {}

KeyboardTools::~KeyboardTools() {
    close(cmd::kControlPanel);
    close(cmd::kNrpnCalculator);
    player_.setActive(false);
}

bool KeyboardTools::provides(int command) {
    return command == cmd::kControlPanel || command == cmd::kNrpnCalculator ||
           command == cmd::kKeyboard;
}

template <typename Window> void KeyboardTools::show(Window* window, QRect& placement, int command) {
    QObject::connect(window, &Window::closeRequested, window,
                     [this, command] { closeRequest_(command); });
    if (placement.isValid()) {
        window->setGeometry(placement);
    }
    window->show();
}

void KeyboardTools::open(int command, QWidget* owner) {
    QDialog* window = nullptr;
    if (command == cmd::kControlPanel) {
        if (panelWindow_ == nullptr) {
            panelWindow_ = new ControlPanelWindow(panel_, owner);
            show(panelWindow_.data(), panelPlacement_, command);
        }
        window = panelWindow_;
    } else if (command == cmd::kNrpnCalculator) {
        if (calculatorWindow_ == nullptr) {
            calculatorWindow_ = new NrpnCalculatorWindow(numbers_, owner);
            show(calculatorWindow_.data(), calculatorPlacement_, command);
        }
        window = calculatorWindow_;
    }
    if (window != nullptr) {
        window->raise();
        window->activateWindow();
    }
}

void KeyboardTools::close(int command) {
    const auto destroy = [](QDialog* window, QRect& placement) {
        if (window != nullptr) {
            placement = window->geometry();
            window->hide();
            window->deleteLater(); // it may be the one asking
        }
    };
    if (command == cmd::kControlPanel) {
        destroy(panelWindow_, panelPlacement_);
        panelWindow_ = nullptr;
    } else if (command == cmd::kNrpnCalculator) {
        destroy(calculatorWindow_, calculatorPlacement_);
        calculatorWindow_ = nullptr;
    }
}

void KeyboardTools::patchSeen(uintptr_t wParam, intptr_t lParam) {
    const int channel = static_cast<int>(wParam);
    panel_.patchSeen(channel, lParam);
    if (panelWindow_ != nullptr) {
        panelWindow_->patchSeen(channel);
    }
}

} // namespace corvex
