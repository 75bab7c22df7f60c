// The computer keyboard playing MIDI while it is on: an application-wide event filter that
// hands the key events of Corvex's own windows to the keyboard logic (the physical key by its
// native key code, so any layout plays the same keys), swallows the keys the logic takes,
// paces strummed chords on a timer and ends every sounding note when the application loses
// the focus, when it is switched off and when it is destroyed. Auto-repeated releases pass
// untouched; repeated presses reach the logic, which ignores them on note keys.
//
// Threads: the user-interface thread only.
#pragma once

#include "instruments/paced_output.h"
#include "instruments/pc_keyboard.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <optional>
#include <string>

class QKeyEvent;

namespace corvex {

class PcKeyboardPlayer : public QObject {
    Q_OBJECT
public:
    // The key map is read from `keyMapPath` (and completed there) when the keyboard is first
    // switched on; messages go to `send`.
    PcKeyboardPlayer(std::string keyMapPath, PacedOutput::Sender send, QObject* parent = nullptr);
    ~PcKeyboardPlayer() override; // switches off

    void setActive(bool on);

    // The virtual key of a key event: by its native key code, else by its Qt key.
    static int virtualKeyOf(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyEvent(QObject* watched, QKeyEvent& event);
    KeyInput inputOf(const QKeyEvent& event, bool press) const;
    bool propagating(const QKeyEvent& event, const QWidget* widget) const;
    void releaseAll();
    void pump();

    std::string keyMapPath_;
    PacedOutput output_;
    std::optional<PcKeyboard> keyboard_;
    bool active_ = false;
    bool capsLock_ = false;
    bool scrollLock_ = false;
    // The last event passed on, met again while it propagates to the receiver's parents.
    struct PassedEvent {
        const QEvent* event = nullptr;
        QEvent::Type type = QEvent::None;
        quint64 timestamp = 0;
        QPointer<QWidget> receiver;
    };
    PassedEvent passed_;
    QTimer strumTimer_;
    QElapsedTimer clock_;
};

} // namespace corvex
