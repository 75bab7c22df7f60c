// "Configure SysEx Buffers": the size and number of the input and output SysEx buffers.
// The number spinners run from 1 to 32767; a number typed outside that range is corrected
// to the nearest bound. On OK the sizes are corrected to what can be stored, any correction
// is reported ("Out of Range Values Adjusted."), and when the values changed the buffers are
// renewed with them.
//
// User-interface thread only.
#pragma once

#include "device_user_interface.h"
#include "sysex_buffers.h"

#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>

namespace corvex {

// A buffer number: remembers that a typed value had to be corrected to a bound.
class BufferCountBox : public QSpinBox {
public:
    explicit BufferCountBox(int value);
    bool adjusted() const { return adjusted_; }

protected:
    void fixup(QString& input) const override;

private:
    mutable bool adjusted_ = false;
};

class SysExBuffersDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinCount = 1;
    static constexpr int kMaxCount = 32767;

    SysExBuffersDialog(SysExBuffers& buffers, DeviceUserInterface& ui, QWidget* parent = nullptr);

    QLineEdit* inputSizeField() const { return inputSize_; }
    QSpinBox* inputCountField() const { return inputCount_; }
    QLineEdit* outputSizeField() const { return outputSize_; }
    QSpinBox* outputCountField() const { return outputCount_; }

    void accept() override;

private:
    SysExBuffers& buffers_;
    DeviceUserInterface& ui_;
    QLineEdit* inputSize_;
    BufferCountBox* inputCount_;
    QLineEdit* outputSize_;
    BufferCountBox* outputCount_;
};

} // namespace corvex
