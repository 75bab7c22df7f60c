#include "sysex/ui/sysex_configure_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace corvex {

namespace {

constexpr int kSpinMaximum = 32767;

QSpinBox* countBox(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(1, kSpinMaximum);
    return box;
}

// A size or count group: "&Size" edit with "Bytes", "&Num" with its spin control.
QGroupBox* bufferGroup(const QString& title, const QString& sizeLabel, const QString& numLabel,
                       QLineEdit* size, QSpinBox* count, QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(group);
    auto* sizeCaption = new QLabel(sizeLabel, group);
    sizeCaption->setBuddy(size);
    auto* numCaption = new QLabel(numLabel, group);
    numCaption->setBuddy(count);
    grid->addWidget(sizeCaption, 0, 0);
    grid->addWidget(size, 0, 1);
    grid->addWidget(new QLabel("Bytes", group), 0, 2);
    grid->addWidget(numCaption, 1, 0);
    grid->addWidget(count, 1, 1);
    return group;
}

std::string textOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}

} // namespace

SysExConfigureDialog::SysExConfigureDialog(const SysExTransferSettings& settings, bool append,
                                           const SysExBufferNumbers& buffers, QWidget* parent)
    : QDialog(parent), settings_(settings), buffers_(buffers), inputSize_(new QLineEdit(this)),
      inputCount_(countBox(this)), outputSize_(new QLineEdit(this)), outputCount_(countBox(this)),
      autoDelay_(new QCheckBox("A&uto-adjust Buffer Delays if necessary", this)),
      manualTiming_(new QWidget(this)), bufferDelay_(new QLineEdit(manualTiming_)),
      delayAfterF7_(new QCheckBox("&Delay After F7:", manualTiming_)),
      afterF7Delay_(new QLineEdit(manualTiming_)),
      noWarnings_(new QCheckBox("Don't &Warn to Save Changes", this)),
      append_(new QCheckBox("&Append To Bytes in Display Window", this)),
      fillDisplay_(new QCheckBox("Fill Display Window as &Bytes Come In", this)),
      colorF7_(new QCheckBox("S&how F0-F7 in colored text", this)),
      saveToFile_(new QCheckBox("Sa&ve Dump directly to a file", this)) {
    setWindowTitle("Configure");
    auto* timing = new QGroupBox("Output &Timing", this);
    auto* manual = new QGridLayout(manualTiming_);
    manual->setContentsMargins(0, 0, 0, 0);
    auto* betweenCaption = new QLabel("D&elay Between Buffers:", manualTiming_);
    betweenCaption->setBuddy(bufferDelay_);
    manual->addWidget(betweenCaption, 0, 0);
    manual->addWidget(bufferDelay_, 0, 1);
    manual->addWidget(new QLabel("Milliseconds", manualTiming_), 0, 2);
    manual->addWidget(delayAfterF7_, 1, 0);
    manual->addWidget(afterF7Delay_, 1, 1);
    manual->addWidget(new QLabel("Milliseconds", manualTiming_), 1, 2);
    auto* timingLayout = new QVBoxLayout(timing);
    timingLayout->addWidget(autoDelay_);
    timingLayout->addWidget(manualTiming_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        bufferGroup("&Low Level Input Buffers", "&Size", "&Num", inputSize_, inputCount_, this));
    layout->addWidget(
        bufferGroup("Low Level &Output Buffers", "Si&ze", "Nu&m", outputSize_, outputCount_, this));
    layout->addWidget(timing);
    for (QCheckBox* box : {noWarnings_, append_, fillDisplay_, colorF7_, saveToFile_}) {
        layout->addWidget(box);
    }
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SysExConfigureDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SysExConfigureDialog::reject);
    connect(autoDelay_, &QCheckBox::toggled, this, &SysExConfigureDialog::followAutoDelay);
    showForm(configureFormOf(settings, append, buffers));
}

void SysExConfigureDialog::showForm(const SysExConfigureForm& form) {
    inputSize_->setText(QString::fromStdString(form.inputSize));
    inputCount_->setValue(std::stoi(form.inputCount));
    outputSize_->setText(QString::fromStdString(form.outputSize));
    outputCount_->setValue(std::stoi(form.outputCount));
    bufferDelay_->setText(QString::fromStdString(form.bufferDelay));
    afterF7Delay_->setText(QString::fromStdString(form.afterF7Delay));
    delayAfterF7_->setChecked(form.delayAfterF7);
    autoDelay_->setChecked(form.autoDelay);
    noWarnings_->setChecked(form.noWarningsToSave);
    append_->setChecked(form.append);
    fillDisplay_->setChecked(form.fillDisplay);
    colorF7_->setChecked(form.colorF7);
    saveToFile_->setChecked(form.saveDirectlyToFile);
    followAutoDelay();
}

void SysExConfigureDialog::followAutoDelay() {
    manualTiming_->setEnabled(!autoDelay_->isChecked());
}

SysExConfigureForm SysExConfigureDialog::form() const {
    SysExConfigureForm form;
    form.inputSize = textOf(inputSize_);
    form.inputCount = inputCount_->text().toStdString();
    form.outputSize = textOf(outputSize_);
    form.outputCount = outputCount_->text().toStdString();
    form.bufferDelay = textOf(bufferDelay_);
    form.afterF7Delay = textOf(afterF7Delay_);
    form.delayAfterF7 = delayAfterF7_->isChecked();
    form.autoDelay = autoDelay_->isChecked();
    form.noWarningsToSave = noWarnings_->isChecked();
    form.append = append_->isChecked();
    form.fillDisplay = fillDisplay_->isChecked();
    form.colorF7 = colorF7_->isChecked();
    form.saveDirectlyToFile = saveToFile_->isChecked();
    return form;
}

void SysExConfigureDialog::accept() {
    result_ = acceptConfigureForm(form(), settings_, buffers_);
    QDialog::accept();
}

} // namespace corvex
