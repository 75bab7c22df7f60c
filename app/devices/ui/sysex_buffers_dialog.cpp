#include "sysex_buffers_dialog.h"

#include "sysex_buffer_fields.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace corvex {

namespace {

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

BufferCountBox::BufferCountBox(int value) {
    setRange(SysExBuffersDialog::kMinCount, SysExBuffersDialog::kMaxCount);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setValue(value);
}

void BufferCountBox::fixup(QString& input) const {
    QSpinBox::fixup(input);
    bool ok = false;
    const long long typed = input.trimmed().toLongLong(&ok);
    if (!ok || typed < minimum()) {
        input = QString::number(minimum());
        adjusted_ = true;
    } else if (typed > maximum()) {
        input = QString::number(maximum());
        adjusted_ = true;
    }
}

SysExBuffersDialog::SysExBuffersDialog(SysExBuffers& buffers, DeviceUserInterface& ui,
                                       QWidget* parent)
    : QDialog(parent), buffers_(buffers), ui_(ui),
      inputSize_(new QLineEdit(QString::number(buffers.config().inputSize))),
      inputCount_(new BufferCountBox(buffers.config().inputCount)),
      outputSize_(new QLineEdit(QString::number(buffers.config().outputSize))),
      outputCount_(new BufferCountBox(buffers.config().outputCount)) {
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
    // What is still being typed counts, corrected like a number left by the cursor.
    inputCount_->interpretText();
    outputCount_->interpretText();
    const CorrectedBufferFields values =
        correctBufferFields({fieldValue(inputSize_), inputCount_->value(), fieldValue(outputSize_),
                             outputCount_->value()});
    if (values.adjusted || inputCount_->adjusted() || outputCount_->adjusted()) {
        ui_.showWarning("Out of Range Values Adjusted.");
    }
    buffers_.setSizes(values.inputCount, values.inputSize, values.outputCount, values.outputSize);
    QDialog::accept();
}

} // namespace corvex
