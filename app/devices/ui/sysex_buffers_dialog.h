// "Configure SysEx Buffers": the size and number of the input and output SysEx buffers.
// On OK the values are corrected to what can be stored ("Out of Range Values Adjusted."),
// and when they changed the device manager renews the buffers with them.
//
// User-interface thread only.
#pragma once

#include "midi.h"

#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>

namespace corvex {

class SysExBuffersDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxCount = 32767;

    SysExBuffersDialog(CMidi& midi, DeviceUserInterface& ui, QWidget* parent = nullptr);

    QLineEdit* inputSizeField() const { return inputSize_; }
    QSpinBox* inputCountField() const { return inputCount_; }
    QLineEdit* outputSizeField() const { return outputSize_; }
    QSpinBox* outputCountField() const { return outputCount_; }

    void accept() override;

private:
    CMidi& midi_;
    DeviceUserInterface& ui_;
    QLineEdit* inputSize_;
    QSpinBox* inputCount_;
    QLineEdit* outputSize_;
    QSpinBox* outputCount_;
};

} // namespace corvex
