// "SysEx Receive": "(Wait for completion)", the "Bytes Received" counter and "Done" over a
// running capture. For a send/receive the bytes go out 500 ms after the dialog opens (paced,
// without a progress bar); a failed send stops the capture. "Done" (or closing, or a capture
// that cannot go on) stops it and closes the dialog; received() tells how it ended.
// User-interface thread only.
#pragma once

#include "sysex/ui/sysex_capture_runner.h"
#include "sysex/ui/sysex_send_runner.h"

#include <QDialog>

#include <optional>
#include <string>

class QLabel;

namespace corvex {

class SysExReceiveDialog : public QDialog {
    Q_OBJECT

public:
    // `capture` was started and is owned by the caller; `send` is the send of a send/receive.
    SysExReceiveDialog(SysExCaptureRunner& capture, std::optional<SysExSendSession> send,
                       SysExEngine& engine, QWidget* parent);

    QString counterText() const;
    SysExSendRunner* sendRunner() const { return send_; }

signals:
    // The capture ended: the shortfall warning (empty when none) and the send's end, when
    // there was a send that failed.
    void received(const QString& shortfall, std::optional<corvex::SysExSendStep> failedSend);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    SysExCaptureRunner& capture_;
    SysExSendRunner* send_ = nullptr;
    QLabel* counter_;
    std::optional<SysExSendStep> failedSend_;
    bool started_ = false;
    bool stopped_ = false;
};

} // namespace corvex
