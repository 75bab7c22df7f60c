#include "sysex/ui/sysex_receive_dialog.h"

#include "sysex/ui/file_progress_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvex {

SysExReceiveDialog::SysExReceiveDialog(SysExCaptureRunner& capture,
                                       std::optional<SysExSendSession> send, SysExEngine& engine,
                                       QWidget* parent)
    : QDialog(parent), capture_(capture), counter_(new QLabel("0", this)) {
    setWindowTitle("SysEx Receive");
    setModal(true);
    auto* counterRow = new QHBoxLayout;
    counterRow->addWidget(new QLabel("Bytes Received", this));
    counterRow->addWidget(counter_);
    auto* doneButton = new QPushButton("Done", this);
    doneButton->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("(Wait for completion)", this));
    layout->addLayout(counterRow);
    layout->addWidget(doneButton, 0, Qt::AlignHCenter);
    connect(doneButton, &QPushButton::clicked, this, &SysExReceiveDialog::accept);
    connect(&capture_, &SysExCaptureRunner::counted, this,
            [this](quint64 bytes) { counter_->setText(QString::number(bytes)); });
    connect(&capture_, &SysExCaptureRunner::cannotContinue, this, &SysExReceiveDialog::accept);
    if (send) {
        send_ = new SysExSendRunner(std::move(*send), engine, this);
        connect(send_, &SysExSendRunner::finished, this, [this](SysExSendStep end) {
            if (end.state == SysExSendState::Failed) {
                failedSend_ = end;
                reject();
            }
        });
    }
}

QString SysExReceiveDialog::counterText() const {
    return counter_->text();
}

void SysExReceiveDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_ && send_ != nullptr) {
        send_->start(kSysExStartDelayMs);
    }
    started_ = true;
}

void SysExReceiveDialog::done(int result) {
    if (!stopped_) {
        stopped_ = true;
        if (send_ != nullptr && send_->running()) {
            send_->cancel();
        }
        std::string shortfall = capture_.stop();
        emit received(QString::fromStdString(shortfall), failedSend_);
    }
    QDialog::done(result);
}

} // namespace corvex
