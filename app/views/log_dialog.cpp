#include "views/log_dialog.h"

#include "views/monitor_log.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

namespace corvex {

LogDialog::LogDialog(MonitorLog& log, const LogFileSettings& settings,
                     std::function<void()> logStopped, QWidget* parent)
    : QDialog(parent), log_(log), logStopped_(std::move(logStopped)),
      appendChosen_(settings.append) {
    setObjectName("LOG");
    setWindowTitle("Log");
    enabled_ = new QCheckBox("&Enable Logging", this);
    enabled_->setChecked(settings.enabled);
    warn_ = new QCheckBox("&Display Dialog Warnings", this);
    warn_->setChecked(settings.warn);
    format_ = new QComboBox(this);
    format_->addItems({"Normal -- Just like Monitor", "MIDI to Text", "Raw MIDI Messages"});
    format_->setCurrentIndex(settings.format >= 0 && settings.format <= 2 ? settings.format : 0);
    auto* formatLabel = new QLabel("&Log Format:", this);
    formatLabel->setBuddy(format_);
    append_ = new QRadioButton("&Append to Log", this);
    overwrite_ = new QRadioButton("&Overwrite Log", this);
    (settings.append ? append_ : overwrite_)->setChecked(true);
    connect(append_, &QRadioButton::toggled, this, [this](bool on) {
        if (format_->currentIndex() != 1) {
            appendChosen_ = on;
        }
    });
    path_ = new QLineEdit(QString::fromStdString(settings.path), this);
    auto* pathLabel = new QLabel("&File Name:", this);
    pathLabel->setBuddy(path_);
    auto* browse = new QPushButton("&...", this);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &LogDialog::browse);
    auto* view = new QPushButton("&View Log...", this);
    view->setAutoDefault(false);
    connect(view, &QPushButton::clicked, this, &LogDialog::viewLog);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &LogDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(format_, &QComboBox::currentIndexChanged, this, &LogDialog::followFormat);

    auto* layout = new QFormLayout(this);
    layout->addRow(enabled_);
    layout->addRow(warn_);
    layout->addRow(formatLabel, format_);
    auto* mode = new QHBoxLayout;
    mode->addWidget(append_);
    mode->addWidget(overwrite_);
    layout->addRow(mode);
    auto* file = new QHBoxLayout;
    file->addWidget(path_, 1);
    file->addWidget(browse);
    layout->addRow(pathLabel, file);
    layout->addRow(view);
    layout->addRow(box);
    followFormat();
}

// MIDI to Text always replaces the file: the choice is greyed and shows Overwrite.
void LogDialog::followFormat() {
    const bool midiToText = format_->currentIndex() == 1;
    append_->setEnabled(!midiToText);
    overwrite_->setEnabled(!midiToText);
    (midiToText || !appendChosen_ ? overwrite_ : append_)->setChecked(true);
}

LogFileSettings LogDialog::chosen() const {
    LogFileSettings settings;
    settings.enabled = enabled_->isChecked();
    settings.warn = warn_->isChecked();
    settings.format = format_->currentIndex();
    settings.append = append_->isChecked();
    settings.path = path_->text().toStdString();
    return settings;
}

void LogDialog::accept() {
    const std::string message = log_.apply(chosen());
    if (!message.empty()) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(message));
        if (message.starts_with("Invalid File Path")) {
            return; // the dialog stays open for a better name
        }
    }
    QDialog::accept();
}

void LogDialog::browse() {
    QFileDialog dialog(this, "Create Log File", path_->text());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("txt");
    dialog.setNameFilters({"Text Files (*.txt)", "All Files (*)"});
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        path_->setText(dialog.selectedFiles().front());
    }
}

void LogDialog::viewLog() {
    const std::string path = path_->text().toStdString();
    if (log_.isRunningLog(path)) {
        if (warn_->isChecked() &&
            QMessageBox::warning(this, "Warning", viewWarning,
                                 QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok) {
            return;
        }
        log_.stopForViewing();
        enabled_->setChecked(false);
        if (logStopped_) {
            logStopped_();
        }
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path_->text()))) {
        QMessageBox::warning(this, windowTitle(), viewFailed);
    }
}

} // namespace corvex
