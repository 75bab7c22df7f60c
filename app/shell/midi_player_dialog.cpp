#include "shell/midi_player_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvex {

MidiPlayerDialog::MidiPlayerDialog(const QString& playerPath, QWidget* parent)
    : QDialog(parent), path_(new QLineEdit(playerPath, this)) {
    setObjectName(QStringLiteral("MIDIPLAYER"));
    setWindowTitle(tr("Choose Your Default MIDI Player"));
    path_->setObjectName(QStringLiteral("539"));
    path_->setPlaceholderText(tr("tunelet, beside corvex"));
    path_->setMinimumWidth(path_->fontMetrics().averageCharWidth() * 48);
    auto* browse = new QPushButton(tr("Browse"), this);
    browse->setObjectName(QStringLiteral("538"));
    connect(browse, &QPushButton::clicked, this, &MidiPlayerDialog::browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(path_, 1);
    row->addWidget(browse);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

QString MidiPlayerDialog::playerPath() const {
    return path_->text().trimmed();
}

// Starts in the folder of the current entry; any file may be chosen (programs on Linux have
// no extension of their own).
void MidiPlayerDialog::browse() {
    const QString start = QFileInfo(playerPath()).absolutePath();
    const QString chosen = QFileDialog::getOpenFileName(
        this, windowTitle(), playerPath().contains('/') ? start : QString(), tr("Programs (*)"));
    if (!chosen.isEmpty()) {
        path_->setText(chosen);
    }
}

} // namespace corvex
