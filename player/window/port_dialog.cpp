#include "port_dialog.h"

#include "output_ports.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvex {

PortDialog::PortDialog(const std::vector<std::string>& names, int current, QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)) {
    setObjectName("MidiPlayDevice");
    setWindowTitle(tr("Select MCI Port"));
    list_->addItem(QString::fromLatin1(kMapperText));
    for (const std::string& name : names) {
        list_->addItem(QString::fromStdString(name));
    }
    list_->setCurrentRow(current + 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

int PortDialog::choice() const {
    return list_->currentRow() - 1;
}

} // namespace corvex
