// "File Progress": a progress bar (0-100) and "Cancel" over a running send. The send starts
// 500 ms after the dialog opens and the dialog closes itself when it ends; "Cancel" stops the
// send at the next piece and closes the dialog.
// User-interface thread only.
#pragma once

#include "sysex/ui/sysex_send_runner.h"

#include <QDialog>

class QProgressBar;

namespace corvex {

inline constexpr int kSysExStartDelayMs = 500;

class FileProgressDialog : public QDialog {
    Q_OBJECT

public:
    FileProgressDialog(SysExSendSession session, SysExEngine& engine, QWidget* parent);

    SysExSendRunner& runner() { return *runner_; }
    int percent() const;
    // "Cancel": stops the send at the next piece and closes.
    void reject() override;

signals:
    void sendEnded(corvex::SysExSendStep end);

protected:
    void showEvent(QShowEvent* event) override;

private:
    SysExSendRunner* runner_;
    QProgressBar* bar_;
    bool started_ = false;
};

} // namespace corvex
