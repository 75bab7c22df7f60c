#include "shell/file_associations_dialog.h"

#include "shell/file_associations.h"
#include "shell/user_warning.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace corvex {

FileAssociationsDialog::FileAssociationsDialog(FileAssociations& associations, QWidget* parent)
    : QDialog(parent), associations_(associations) {
    setObjectName(QStringLiteral("FileAssociation"));
    setWindowTitle(tr("File Associations"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(tr("Place a check to associate the filetype with Corvex.  Remove "
                               "a check to dissassociate:"),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    for (const AssociatedFileType& type : associatedFileTypes()) {
        auto* box = new QCheckBox(QString::fromUtf8(type.caption), this);
        box->setObjectName(QString::number(type.checkBox));
        const bool associated = associations_.isAssociated(type);
        box->setChecked(associated);
        if (type.opener == FileTypeOpener::TextEditor && associations_.openerOf(type).empty()) {
            box->setEnabled(false);
            box->setToolTip(tr("No text editor is set up on this desktop for plain text."));
        }
        layout->addWidget(box);
        boxes_.push_back(box);
        wasChecked_.push_back(associated);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void FileAssociationsDialog::accept() {
    QStringList problems;
    const auto types = associatedFileTypes();
    for (size_t i = 0; i < types.size(); ++i) {
        if (boxes_[i]->isChecked() == wasChecked_[i]) {
            continue;
        }
        const AssociationOutcome outcome = boxes_[i]->isChecked()
                                               ? associations_.associate(types[i])
                                               : associations_.disassociate(types[i]);
        if (!outcome.message.empty()) {
            problems << QString::fromStdString(outcome.message);
        }
    }
    if (!problems.isEmpty()) {
        warnUser(parentWidget(), problems.join('\n'));
    }
    QDialog::accept();
}

} // namespace corvex
