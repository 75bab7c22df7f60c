// The General Options dialog ("GeneralOpt", modal): display and monitor options, the middle C
// octave, panic and running-status options, and the picture behind the views.
// Threads: user-interface thread only.
#pragma once

#include "frame_options.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace corvex {

class GeneralOptionsDialog : public QDialog {
    Q_OBJECT

public:
    explicit GeneralOptionsDialog(const GeneralOptions& options, QWidget* parent = nullptr);

    // The options as the controls show them now.
    GeneralOptions options() const;

    // The controls, by their resource control ids (537 tooltips ... 533 running status;
    // 542 the background choice, 543 its file, 544 its browse button).
    QWidget* control(int id) const;

private:
    void chooseBackgroundFile();
    void updateBackgroundControls();

    QCheckBox* tooltips_;
    QCheckBox* verbose_;
    QCheckBox* patchNames_;
    QCheckBox* abbreviate_;
    QCheckBox* channelColours_;
    QComboBox* middleC_;
    QCheckBox* panicNoteOffs_;
    QCheckBox* runningStatus_;
    QComboBox* background_;
    QLineEdit* backgroundPath_;
    QPushButton* browse_;
};

} // namespace corvex
