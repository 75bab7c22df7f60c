// The dialogs of the shutdown: the question while scripts are attached ("WSH Attachments"),
// the wait for them ("Script Exit"), and the notice shown while the MIDI devices close
// ("Corvex is Exiting").
//
// Threads: user-interface thread only.
#pragma once

#include "shell/exit_gate.h"

#include <QDialog>

#include <cstdint>
#include <functional>

namespace corvex {

// The hooks of the shutdown's script check for the engine client `client` (read when
// used), with the dialogs owned by `frame`.
ExitGateHooks scriptExitHooks(std::function<uint64_t()> client, QWidget* frame);

// The notice shown while the program closes its MIDI devices: "Closing MIDI devices..." and
// "Please Wait while <frame title> Exits.", above every window, centred over the frame, with
// the busy cursor for as long as it exists.
class ExitNotice : public QDialog {
    Q_OBJECT

public:
    // `frameTitle` is the frame's title without a profile name; `frameRect` where the frame
    // is (the notice outlives the frame, which goes before the devices are closed).
    ExitNotice(const QString& frameTitle, const QRect& frameRect);
    ~ExitNotice() override;

    // Shows the notice at once, painted before the caller goes on with the slow work.
    void showNow();

private:
    QRect frameRect_;
};

} // namespace corvex
