#include "instruments/ui/pc_keyboard_player.h"

#include "instruments/virtual_keys.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace corvex {
namespace {

// The X server's modifier bit of Caps Lock, in the native modifiers of its key events.
constexpr quint32 kX11LockMask = 0x2;

int letterOrDigit(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return key; // Qt's codes are the upper-case characters
    }
    return 0;
}

int keypadKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return vk::kNumpad0 + (key - Qt::Key_0);
    }
    switch (key) {
    case Qt::Key_Asterisk:
        return vk::kMultiply;
    case Qt::Key_Plus:
        return vk::kAdd;
    case Qt::Key_Minus:
        return vk::kSubtract;
    case Qt::Key_Period:
        return vk::kDecimal;
    case Qt::Key_Slash:
        return vk::kDivide;
    case Qt::Key_Comma:
        return vk::kSeparator;
    default:
        return 0;
    }
}

// The layout's own keys, for events without a native key code.
int qtKeyToVirtualKey(int key) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        return vk::kF1 + (key - Qt::Key_F1);
    }
    switch (key) {
    case Qt::Key_Tab:
        return vk::kTab;
    case Qt::Key_Shift:
        return vk::kShift;
    case Qt::Key_Control:
        return vk::kControl;
    case Qt::Key_Alt:
        return vk::kAlt;
    case Qt::Key_CapsLock:
        return vk::kCapsLock;
    case Qt::Key_ScrollLock:
        return vk::kScrollLock;
    case Qt::Key_PageUp:
        return vk::kPageUp;
    case Qt::Key_PageDown:
        return vk::kPageDown;
    case Qt::Key_End:
        return vk::kEnd;
    case Qt::Key_Home:
        return vk::kHome;
    case Qt::Key_Left:
        return vk::kLeft;
    case Qt::Key_Up:
        return vk::kUp;
    case Qt::Key_Right:
        return vk::kRight;
    case Qt::Key_Down:
        return vk::kDown;
    case Qt::Key_Insert:
        return vk::kInsert;
    case Qt::Key_Delete:
        return vk::kDelete;
    case Qt::Key_Semicolon:
        return vk::kOemSemicolon;
    case Qt::Key_Equal:
        return vk::kOemEquals;
    case Qt::Key_Comma:
        return vk::kOemComma;
    case Qt::Key_Minus:
        return vk::kOemMinus;
    case Qt::Key_Period:
        return vk::kOemPeriod;
    case Qt::Key_Slash:
        return vk::kOemSlash;
    case Qt::Key_QuoteLeft:
        return vk::kOemGrave;
    case Qt::Key_BracketLeft:
        return vk::kOemLeftBracket;
    case Qt::Key_Backslash:
        return vk::kOemBackslash;
    case Qt::Key_BracketRight:
        return vk::kOemRightBracket;
    case Qt::Key_Apostrophe:
        return vk::kOemQuote;
    default:
        return letterOrDigit(key);
    }
}

} // namespace

PcKeyboardPlayer::PcKeyboardPlayer(std::string keyMapPath, PacedOutput::Sender send,
                                   QObject* parent)
    : QObject(parent), keyMapPath_(std::move(keyMapPath)), output_(std::move(send)) {
    strumTimer_.setSingleShot(true);
    strumTimer_.setTimerType(Qt::PreciseTimer);
    connect(&strumTimer_, &QTimer::timeout, this, &PcKeyboardPlayer::pump);
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive) {
                    releaseAll();
                }
            });
    clock_.start();
}

PcKeyboardPlayer::~PcKeyboardPlayer() {
    setActive(false);
}

void PcKeyboardPlayer::setActive(bool on) {
    if (on == active_) {
        return;
    }
    active_ = on;
    if (on) {
        if (!keyboard_) {
            keyboard_.emplace(readKeyMap(keyMapPath_), output_);
        }
        qApp->installEventFilter(this);
        return;
    }
    qApp->removeEventFilter(this);
    releaseAll();
    strumTimer_.stop();
    output_.flush(); // the strum's rest and its note-offs, at once
}

int PcKeyboardPlayer::virtualKeyOf(const QKeyEvent& event) {
    if (event.nativeScanCode() != 0) {
        return vk::fromNativeKeyCode(event.nativeScanCode());
    }
    if (event.modifiers().testFlag(Qt::KeypadModifier)) {
        if (const int key = keypadKey(event.key())) {
            return key;
        }
    }
    return qtKeyToVirtualKey(event.key());
}

bool PcKeyboardPlayer::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return keyEvent(watched, static_cast<QKeyEvent&>(*event));
    case QEvent::ShortcutOverride:
        // A key the keyboard plays is not a shortcut while it is on (F1 sets nothing, Ctrl+F5
        // chooses the chord key): the press goes to the window, and so to the keyboard.
        if (keyboard_->takes(inputOf(static_cast<QKeyEvent&>(*event), true))) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::ApplicationDeactivate:
        releaseAll();
        return false;
    default:
        return false;
    }
}

bool PcKeyboardPlayer::keyEvent(QObject* watched, QKeyEvent& event) {
    // A key event reaches the window first and then its widgets, which pass it on to their
    // parents while they ignore it: only the widgets' first sight of it counts.
    if (!watched->isWidgetType() || propagating(event, static_cast<QWidget*>(watched))) {
        return false;
    }
    const bool press = event.type() == QEvent::KeyPress;
    if (!press && event.isAutoRepeat()) {
        return false;
    }
    const int virtualKey = virtualKeyOf(event);
    if (press && !event.isAutoRepeat()) {
        capsLock_ ^= virtualKey == vk::kCapsLock;
        scrollLock_ ^= virtualKey == vk::kScrollLock;
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb") && virtualKey != vk::kCapsLock) {
        capsLock_ = (event.nativeModifiers() & kX11LockMask) != 0;
    }
    const bool taken = keyboard_->key(inputOf(event, press));
    pump();
    passed_ = {taken ? nullptr : &event, event.type(), event.timestamp(),
               static_cast<QWidget*>(watched)};
    return taken;
}

bool PcKeyboardPlayer::propagating(const QKeyEvent& event, const QWidget* widget) const {
    return &event == passed_.event && event.type() == passed_.type &&
           event.timestamp() == passed_.timestamp && passed_.receiver != nullptr &&
           widget != passed_.receiver && widget->isAncestorOf(passed_.receiver);
}

KeyInput PcKeyboardPlayer::inputOf(const QKeyEvent& event, bool press) const {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    return {virtualKeyOf(event),
            press,
            modifiers.testFlag(Qt::ControlModifier),
            modifiers.testFlag(Qt::AltModifier),
            capsLock_,
            scrollLock_};
}

void PcKeyboardPlayer::releaseAll() {
    if (keyboard_) {
        keyboard_->releaseAll();
        pump();
    }
}

void PcKeyboardPlayer::pump() {
    const int64_t wait = output_.drain(clock_.elapsed());
    if (wait == PacedOutput::kIdle) {
        strumTimer_.stop();
    } else {
        strumTimer_.start(static_cast<int>(wait));
    }
}

} // namespace corvex
