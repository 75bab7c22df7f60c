#include "sysex/ui/file_progress_dialog.h"

#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvex {

FileProgressDialog::FileProgressDialog(SysExSendSession session, SysExEngine& engine,
                                       QWidget* parent)
    : QDialog(parent), runner_(new SysExSendRunner(std::move(session), engine, this)),
      bar_(new QProgressBar(this)) {
    setWindowTitle("File Progress");
    setModal(true);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    auto* cancel = new QPushButton("Cancel", this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar_);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    connect(cancel, &QPushButton::clicked, this, &FileProgressDialog::reject);
    connect(runner_, &SysExSendRunner::progressed, bar_, &QProgressBar::setValue);
    connect(runner_, &SysExSendRunner::finished, this, [this](SysExSendStep end) {
        emit sendEnded(end);
        accept();
    });
}

int FileProgressDialog::percent() const {
    return bar_->value();
}

void FileProgressDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        runner_->start(kSysExStartDelayMs);
    }
}

void FileProgressDialog::reject() {
    if (runner_->running()) {
        runner_->cancel(); // emits finished, which closes the dialog
        return;
    }
    QDialog::reject();
}

} // namespace corvex
