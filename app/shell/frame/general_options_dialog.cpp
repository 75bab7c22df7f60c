#include "general_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace corvex {
namespace {

QCheckBox* checkBox(const char* text, int id, bool checked) {
    auto* box = new QCheckBox(QString::fromUtf8(text));
    box->setObjectName(QStringLiteral("control%1").arg(id));
    box->setChecked(checked);
    return box;
}

} // namespace

GeneralOptionsDialog::GeneralOptionsDialog(const GeneralOptions& options, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("General Options"));
    setObjectName("GeneralOpt");

    tooltips_ = checkBox("Show &Tooltips", 537, options.showTooltips);
    verbose_ = checkBox("Display &Verbose Device Information", 538, options.verboseDeviceInfo);
    patchNames_ = checkBox("Display Patch &Names in Monitor", 535, options.showPatchNames);
    abbreviate_ = checkBox("Display &Port Name abbrv. in Monitor (1st 3 chars)", 540,
                           options.abbreviatePortNames);
    channelColours_ =
        checkBox("Display &Channel Colors (Instead of Event Colors)", 541, options.channelColours);
    panicNoteOffs_ =
        checkBox("&Send individual Note Offs during Panic Reset", 539, options.panicNoteOffs);
    runningStatus_ = checkBox("Send MIDI &Running Status", 533, options.runningStatus);

    middleC_ = new QComboBox;
    middleC_->setObjectName("control536");
    for (int octave = kMinMiddleCOctave; octave <= kMaxMiddleCOctave; ++octave) {
        middleC_->addItem(QString::number(octave), octave);
    }
    middleC_->setCurrentIndex(
        std::clamp(options.middleCOctave, kMinMiddleCOctave, kMaxMiddleCOctave) -
        kMinMiddleCOctave);
    auto* middleCLabel = new QLabel(tr("&Middle C Octave:"));
    middleCLabel->setBuddy(middleC_);

    background_ = new QComboBox;
    background_->setObjectName("control542");
    background_->addItem(tr("None"), static_cast<int>(BackgroundMode::None));
    background_->addItem(tr("Picture 1"), static_cast<int>(BackgroundMode::Picture1));
    background_->addItem(tr("Picture 2"), static_cast<int>(BackgroundMode::Picture2));
    background_->addItem(tr("Picture file"), static_cast<int>(BackgroundMode::File));
    background_->setCurrentIndex(
        std::clamp(static_cast<int>(options.background), 0, background_->count() - 1));
    backgroundPath_ = new QLineEdit(QString::fromStdString(options.backgroundPath));
    backgroundPath_->setObjectName("control543");
    browse_ = new QPushButton(tr("..."));
    browse_->setObjectName("control544");
    browse_->setMaximumWidth(browse_->fontMetrics().horizontalAdvance(browse_->text()) + 24);

    auto* display = new QVBoxLayout;
    for (QCheckBox* box : {tooltips_, verbose_, patchNames_, abbreviate_, channelColours_}) {
        display->addWidget(box);
    }
    auto* octaveRow = new QHBoxLayout;
    octaveRow->addWidget(middleCLabel);
    octaveRow->addWidget(middleC_);
    octaveRow->addStretch();
    display->addLayout(octaveRow);

    auto* midi = new QVBoxLayout;
    midi->addWidget(panicNoteOffs_);
    midi->addWidget(runningStatus_);

    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(background_);
    pictureRow->addWidget(backgroundPath_, 1);
    pictureRow->addWidget(browse_);

    auto* displayBox = new QGroupBox(tr("Display"));
    displayBox->setLayout(display);
    auto* midiBox = new QGroupBox(tr("MIDI"));
    midiBox->setLayout(midi);
    auto* pictureBox = new QGroupBox(tr("&Background Picture"));
    pictureBox->setLayout(pictureRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(background_, &QComboBox::currentIndexChanged, this,
            &GeneralOptionsDialog::updateBackgroundControls);
    connect(browse_, &QPushButton::clicked, this, &GeneralOptionsDialog::chooseBackgroundFile);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(displayBox);
    layout->addWidget(midiBox);
    layout->addWidget(pictureBox);
    layout->addWidget(buttons);
    updateBackgroundControls();
}

GeneralOptions GeneralOptionsDialog::options() const {
    GeneralOptions out;
    out.showTooltips = tooltips_->isChecked();
    out.verboseDeviceInfo = verbose_->isChecked();
    out.showPatchNames = patchNames_->isChecked();
    out.abbreviatePortNames = abbreviate_->isChecked();
    out.channelColours = channelColours_->isChecked();
    out.middleCOctave = middleC_->currentData().toInt();
    out.panicNoteOffs = panicNoteOffs_->isChecked();
    out.runningStatus = runningStatus_->isChecked();
    out.background = static_cast<BackgroundMode>(background_->currentData().toInt());
    out.backgroundPath = backgroundPath_->text().toStdString();
    return out;
}

QWidget* GeneralOptionsDialog::control(int id) const {
    return findChild<QWidget*>(QStringLiteral("control%1").arg(id));
}

void GeneralOptionsDialog::chooseBackgroundFile() {
    const QString file = QFileDialog::getOpenFileName(
        this, tr("Background Picture"), backgroundPath_->text(),
        tr("Pictures (*.png *.bmp *.jpg *.jpeg *.gif);;All Files (*)"));
    if (!file.isEmpty()) {
        backgroundPath_->setText(file);
        background_->setCurrentIndex(static_cast<int>(BackgroundMode::File));
    }
}

void GeneralOptionsDialog::updateBackgroundControls() {
    const bool file = background_->currentData().toInt() == static_cast<int>(BackgroundMode::File);
    backgroundPath_->setEnabled(file);
}

} // namespace corvex
