// The frame's effects that run over time: the panic reset paced by a timer with the busy
// cursor, the keyboard light that flashes while the computer keyboard plays MIDI, and files
// dropped on the frame (taken, or refused with the "no" cursor flashing three times).
//
// Threads: user-interface thread only.
#pragma once

#include "frame_services.h"
#include "panic_sequence.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>
#include <string>
#include <vector>

namespace corvex {

class FrameEffects : public QObject {
    Q_OBJECT

public:
    // The keyboard light's timer keeps the id the frame's timer table gives it.
    static constexpr int kKeyboardLightTimerId = 2;
    static constexpr int kKeyboardLightFlashMs = 500;

    explicit FrameEffects(FrameServices& services);
    ~FrameEffects() override;

    // ---- Panic reset ----------------------------------------------------------------------
    // Starts silencing every channel of the open outputs; nothing without an engine client
    // or while a panic runs. The first messages go out at once, the rest on the timer.
    void startPanic();
    bool panicRunning() const { return panic_.has_value(); }

    // ---- Keyboard light -------------------------------------------------------------------
    void startKeyboardLight();
    // Stops flashing and reports the light as off.
    void stopKeyboardLight();
    bool keyboardLightActive() const { return keyboardLightTimer_.isActive(); }

    // ---- Dropped files --------------------------------------------------------------------
    // Exactly one usable file is taken (profile, data map or SysEx file); anything else is
    // refused with the error beep and the "no" cursor.
    void dropFiles(const std::vector<std::string>& paths);
    bool refusingDrop() const { return refusalSteps_ > 0; }

    // The frame closes: the panic and the light stop.
    void stop();

signals:
    void panicFinished();
    // The keyboard light is now lit or dark.
    void keyboardLightChanged(bool lit);
    // A dropped profile was loaded.
    void profileLoaded(const std::string& path);

private:
    void panicTick();
    void flashKeyboardLight();
    void refusalStep();
    void endPanic();

    FrameServices& services_;

    std::optional<PanicRun> panic_;
    QTimer panicPacingTimer_;
    QElapsedTimer panicClock_;

    QTimer keyboardLightTimer_;
    bool keyboardLit_ = false;

    QTimer dropRefusalTimer_;
    int refusalSteps_ = 0; // odd while the "no" cursor shows
};

} // namespace corvex
