// The device manager's questions and messages as Qt shows them: warning boxes after a beep,
// the "Previous Failure" question, files opened with the desktop's viewer. Monitor lines,
// the ports-changed notice, the "Pass SysEx" check and the buffer sizes go to the callbacks the
// program gives (the main monitor and the frame).
//
// User-interface thread only.
#pragma once

#include "device_user_interface.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace corvex {

class DeviceMessageBoxes : public DeviceUserInterface {
public:
    struct Callbacks {
        std::function<void(const QString&)> monitorText;
        std::function<void()> portsChanged;
        std::function<void(bool)> sysexPassingChanged;
        std::function<void(const SysExBufferConfig&)> sysexBuffersChanged;
    };

    DeviceMessageBoxes(QString caption, Callbacks callbacks);

    // The window that owns the boxes (null: the desktop, before the frame exists).
    void setOwner(QWidget* owner) { owner_ = owner; }

    void showWarning(const std::string& text) override;
    RetryAnswer askPreviousFailure() override;
    bool openFile(const std::string& path) override;
    void appendMonitorText(const std::string& line) override;
    void portsChanged() override;
    void sysexPassingChanged(bool on) override;
    void sysexBuffersChanged(const SysExBufferConfig& config) override;

private:
    QString caption_;
    Callbacks callbacks_;
    QPointer<QWidget> owner_;
};

} // namespace corvex
