// "Configure": the SysEx buffers, the output timing and the transfer options, starting from
// the current values. While "A&uto-adjust Buffer Delays if necessary" is checked the manual
// delay fields are disabled. result() is what OK made of the fields (see
// sysex_configure_form.h); the caller applies it.
// User-interface thread only.
#pragma once

#include "sysex/sysex_configure_form.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace corvex {

class SysExConfigureDialog : public QDialog {
    Q_OBJECT

public:
    SysExConfigureDialog(const SysExTransferSettings& settings, bool append,
                         const SysExBufferNumbers& buffers, QWidget* parent);

    SysExConfigureForm form() const;
    // Valid after OK.
    const SysExConfigureResult& result() const { return result_; }

    void accept() override;

private:
    void showForm(const SysExConfigureForm& form);
    void followAutoDelay();

    SysExTransferSettings settings_;
    SysExBufferNumbers buffers_;
    SysExConfigureResult result_;
    QLineEdit* inputSize_;
    QSpinBox* inputCount_;
    QLineEdit* outputSize_;
    QSpinBox* outputCount_;
    QCheckBox* autoDelay_;
    QWidget* manualTiming_;
    QLineEdit* bufferDelay_;
    QCheckBox* delayAfterF7_;
    QLineEdit* afterF7Delay_;
    QCheckBox* noWarnings_;
    QCheckBox* append_;
    QCheckBox* fillDisplay_;
    QCheckBox* colorF7_;
    QCheckBox* saveToFile_;
};

} // namespace corvex
