#include "routing/ui/port_names_dialog.h"

#include "routing/ui/midi_devices_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace corvex {

namespace {

constexpr int kRowRole = Qt::UserRole;

// The device names column is shown, never edited.
class ReadOnlyColumn : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        return nullptr;
    }
};

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

} // namespace

PortNamesDialog::PortNamesDialog(std::vector<PortNameRow> rows, QWidget* parent)
    : QDialog(parent), rows_(std::move(rows)), list_(new QTreeWidget) {
    setWindowTitle(tr("Customize Port Names"));
    list_->setColumnCount(2);
    list_->setHeaderLabels({tr("Custom Name"), tr("MIDI Port Name")});
    list_->setRootIsDecorated(false);
    list_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked |
                           QAbstractItemView::DoubleClicked);
    for (size_t row = 0; row < rows_.size(); ++row) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, text(rows_[row].shownName));
        item->setText(1, text(rows_[row].deviceName));
        item->setIcon(0, routingNodeIcon(rows_[row].input ? NodeKind::InPort : NodeKind::OutPort));
        item->setData(0, kRowRole, static_cast<int>(row));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (list_->topLevelItemCount() > 0) {
        list_->setCurrentItem(list_->topLevelItem(0));
    }
    list_->setItemDelegateForColumn(1, new ReadOnlyColumn(list_));
    connect(list_, &QTreeWidget::itemChanged, this, &PortNamesDialog::nameEdited);
    // F2 edits the current cell: keep it in the first column. A double click on the second
    // column edits the first as well.
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.column() != 0) {
                    list_->selectionModel()->setCurrentIndex(current.siblingAtColumn(0),
                                                             QItemSelectionModel::NoUpdate);
                }
            });
    connect(list_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int column) {
                if (column != 0) {
                    list_->editItem(item, 0);
                }
            });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &PortNamesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PortNamesDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Hint: Edit the left column Custom Names (F2)")));
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(480, 360);
}

void PortNamesDialog::nameEdited(QTreeWidgetItem* item, int column) {
    if (column != 0) {
        return;
    }
    PortNameRow& row = rows_[static_cast<size_t>(item->data(0, kRowRole).toInt())];
    row.shownName = editedName(row, item->text(0).toStdString());
    const QSignalBlocker quiet(list_);
    item->setText(0, text(row.shownName));
}

void PortNamesDialog::accept() {
    if (std::optional<std::string> shared = sharedShownName(rows_)) {
        QMessageBox::warning(this, windowTitle(),
                             tr("Two ports cannot both be called '%1'.").arg(text(*shared)));
        return;
    }
    QDialog::accept();
}

} // namespace corvex
