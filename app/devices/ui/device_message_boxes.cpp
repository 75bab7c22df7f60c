#include "device_message_boxes.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace corvex {

DeviceMessageBoxes::DeviceMessageBoxes(QString caption, Callbacks callbacks)
    : caption_(std::move(caption)), callbacks_(std::move(callbacks)) {}

void DeviceMessageBoxes::showWarning(const std::string& text) {
    QApplication::beep();
    QMessageBox::warning(owner_, caption_, QString::fromStdString(text));
}

DeviceUserInterface::RetryAnswer DeviceMessageBoxes::askPreviousFailure() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Previous Failure"),
                    QStringLiteral("The previous driver opening failed.\nDo you wish to attempt "
                                   "it again?"),
                    QMessageBox::NoButton, owner_);
    QPushButton* yes = box.addButton(QStringLiteral("Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    QPushButton* viewLog = box.addButton(QStringLiteral("View Log..."), QMessageBox::ActionRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    if (box.clickedButton() == viewLog) {
        return RetryAnswer::ViewLog;
    }
    return box.clickedButton() == yes ? RetryAnswer::Yes : RetryAnswer::No;
}

bool DeviceMessageBoxes::openFile(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void DeviceMessageBoxes::appendMonitorText(const std::string& line) {
    if (callbacks_.monitorText) {
        callbacks_.monitorText(QString::fromStdString(line));
    }
}

void DeviceMessageBoxes::portsChanged() {
    if (callbacks_.portsChanged) {
        callbacks_.portsChanged();
    }
}

void DeviceMessageBoxes::sysexPassingChanged(bool on) {
    if (callbacks_.sysexPassingChanged) {
        callbacks_.sysexPassingChanged(on);
    }
}

void DeviceMessageBoxes::sysexBuffersChanged(const SysExBufferConfig& config) {
    if (callbacks_.sysexBuffersChanged) {
        callbacks_.sysexBuffersChanged(config);
    }
}

} // namespace corvex
