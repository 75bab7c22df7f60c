#include "folders_dialog.h"

#include "folder_check.h"
#include "string_table.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvex {
namespace {

struct FieldSpec {
    int controlId;
    const char* label;
    int titleString;
};

constexpr std::array<FieldSpec, 3> kFields{{
    {594, "&Map Folder:", str::kMapFolderTitle},
    {596, "&SysEx Folder:", str::kSysExFolderTitle},
    {600, "S&napshot Folder:", str::kSnapshotFolderTitle},
}};

} // namespace

FoldersDialog::FoldersDialog(const FolderSettings& folders, QWidget* parent)
    : QDialog(parent), stored_(folders) {
    setWindowTitle(tr("Folders"));
    setObjectName("Folders");
    const std::array<const std::string*, 3> values{&folders.mapFolder, &folders.sysexFolder,
                                                   &folders.snapshotFolder};
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        auto* edit = new QLineEdit(QString::fromStdString(*values[i]));
        edit->setObjectName(QStringLiteral("control%1").arg(kFields[i].controlId));
        edit->setMinimumWidth(320);
        auto* label = new QLabel(tr(kFields[i].label));
        label->setBuddy(edit);
        auto* button = new QPushButton(QStringLiteral("..."));
        button->setObjectName(QStringLiteral("browse%1").arg(kFields[i].controlId));
        button->setMaximumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 24);
        connect(button, &QPushButton::clicked, this, [this, i] { browse(i); });
        const int row = static_cast<int>(i);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(button, row, 2);
        fields_[i] = edit;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &FoldersDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

FolderSettings FoldersDialog::folders() const {
    return {fields_[0]->text().toStdString(), fields_[1]->text().toStdString(),
            fields_[2]->text().toStdString()};
}

QLineEdit* FoldersDialog::field(int id) const {
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        if (kFields[i].controlId == id) {
            return fields_[i];
        }
    }
    return nullptr;
}

void FoldersDialog::accept() {
    const FolderField invalid = firstInvalidFolder(stored_, folders());
    if (invalid != FolderField::None) {
        QLineEdit* edit = fields_[static_cast<std::size_t>(invalid)];
        edit->setFocus();
        edit->selectAll();
        return;
    }
    QDialog::accept();
}

void FoldersDialog::browse(std::size_t index) {
    const std::string_view title = loadString(kFields[index].titleString);
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
        fields_[index]->text());
    if (!chosen.isEmpty()) {
        fields_[index]->setText(chosen);
    }
}

} // namespace corvex
