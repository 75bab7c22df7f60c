#include "sysex_buffers_dialog.h"

#include "sysex_buffer_fields.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace corvex {

namespace {

QSpinBox* countField(int value) {
    auto* field = new QSpinBox;
    // 0 can be typed, and is corrected (with a message) like the sizes.
    field->setRange(0, SysExBuffersDialog::kMaxCount);
    field->setValue(value);
    return field;
}

QGroupBox* group(const QString& title, QLineEdit* size, QSpinBox* count) {
    auto* box = new QGroupBox(title);
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("Size"), size);
    form->addRow(QStringLiteral("Num"), count);
    return box;
}

long long fieldValue(const QLineEdit* field) {
    bool ok = false;
    const long long value = field->text().trimmed().toLongLong(&ok);
    return ok ? value : 0;
}

} // namespace

SysExBuffersDialog::SysExBuffersDialog(CMidi& midi, DeviceUserInterface& ui, QWidget* parent)
    : QDialog(parent), midi_(midi), ui_(ui),
      inputSize_(new QLineEdit(QString::number(midi.sysexConfig().inputSize))),
      inputCount_(countField(midi.sysexConfig().inputCount)),
      outputSize_(new QLineEdit(QString::number(midi.sysexConfig().outputSize))),
      outputCount_(countField(midi.sysexConfig().outputCount)) {
    setWindowTitle(QStringLiteral("Configure SysEx Buffers"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group(QStringLiteral("Input Buffers"), inputSize_, inputCount_));
    layout->addWidget(group(QStringLiteral("Output Buffers"), outputSize_, outputCount_));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &SysExBuffersDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SysExBuffersDialog::reject);
    layout->addWidget(buttons);
}

void SysExBuffersDialog::accept() {
    const CorrectedBufferFields values =
        correctBufferFields({fieldValue(inputSize_), inputCount_->value(), fieldValue(outputSize_),
                             outputCount_->value()});
    if (values.adjusted) {
        ui_.showWarning("Out of Range Values Adjusted.");
    }
    midi_.setSysExBufferSizes(values.inputCount, values.inputSize, values.outputCount,
                              values.outputSize);
    QDialog::accept();
}

} // namespace corvex
