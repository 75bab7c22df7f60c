// The "LOG" dialog: logging on or off, the warning option, the log's format, append or
// overwrite (always overwrite for MIDI to Text), the file name, and "View Log...".
// Threads: the user-interface thread only.
#pragma once

#include "settings_profile.h"

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace corvex {

class MonitorLog;

class LogDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* viewWarning =
        "File sharing prevents the viewing of a running Log file.\n"
        "If you  continue, the Log will be closed.\n"
        "Never try to modify and save a running Log File -- it will likely corrupt it.";
    static constexpr const char* viewFailed = "Could not open the log file.  It is possible the "
                                              "file name was not a type known by the system "
                                              "(.TXT).";

    // `log` outlives the dialog; OK applies the options to it. `logStopped` is told when
    // viewing the running log closed it.
    LogDialog(MonitorLog& log, const LogFileSettings& settings, std::function<void()> logStopped,
              QWidget* parent = nullptr);

    LogFileSettings chosen() const;

    void accept() override;

private:
    void followFormat();
    void browse();
    void viewLog();

    MonitorLog& log_;
    std::function<void()> logStopped_;
    QCheckBox* enabled_ = nullptr;
    QCheckBox* warn_ = nullptr;
    QComboBox* format_ = nullptr;
    QRadioButton* append_ = nullptr;
    QRadioButton* overwrite_ = nullptr;
    QLineEdit* path_ = nullptr;
    bool appendChosen_ = true; // the choice MIDI to Text overrides, back when leaving it
};

} // namespace corvex
