#include "views/status_columns_dialog.h"

#include "views/status_column_edits.h"
#include "views/status_items.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvex {

StatusColumnsDialog::StatusColumnsDialog(const StatusColumns& columns,
                                         const SnapshotOptions& options, QWidget* parent)
    : QDialog(parent), columns_(columns) {
    setObjectName("ConfigStatus");
    setWindowTitle("Configure Status");
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_->installEventFilter(this);
    const auto button = [this](const char* text, auto action) {
        auto* b = new QPushButton(text, this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, action);
        return b;
    };
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(button("Move &Up", [this] { move(-1); }));
    buttons->addWidget(button("Move &Down", [this] { move(1); }));
    buttons->addWidget(button("A&ll", [this] { markAll(true); }));
    buttons->addWidget(button("N&one", [this] { markAll(false); }));
    buttons->addWidget(button("De&fault Set", [this] { restoreDefaults(); }));
    buttons->addStretch();
    controllers_ = new QCheckBox("&Send Controllers (0 -120)", this);
    mode_ = new QCheckBox("Send &Channel Mode (121-127)", this);
    extra_ = new QCheckBox("Send E&xtra Items (Bend, Patch, etc.)", this);
    controllers_->setChecked(options.controllers);
    mode_->setChecked(options.channelMode);
    extra_->setChecked(options.extra);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(list_, 0, 0);
    layout->addLayout(buttons, 0, 1);
    layout->addWidget(controllers_, 1, 0, 1, 2);
    layout->addWidget(mode_, 2, 0, 1, 2);
    layout->addWidget(extra_, 3, 0, 1, 2);
    layout->addWidget(box, 4, 0, 1, 2);
    showRows();
    list_->setCurrentRow(0);
}

SnapshotOptions StatusColumnsDialog::options() const {
    return {controllers_->isChecked(), mode_->isChecked(), extra_->isChecked()};
}

QString StatusColumnsDialog::rowText(size_t row) const {
    const StatusColumn& column = columns_[row + 1];
    const std::string_view title = statusItems()[column.item].title;
    return QString(column.shown ? "X  " : "   ") +
           QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
}

void StatusColumnsDialog::showRows() {
    const std::vector<size_t> selected = selectedRows();
    const int current = list_->currentRow();
    list_->clear();
    for (size_t row = 0; row < kStatusColumnRows; ++row) {
        list_->addItem(rowText(row));
    }
    for (size_t row : selected) {
        list_->item(static_cast<int>(row))->setSelected(true);
    }
    list_->setCurrentRow(current, QItemSelectionModel::NoUpdate);
}

std::vector<size_t> StatusColumnsDialog::selectedRows() const {
    std::vector<size_t> rows;
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->isSelected()) {
            rows.push_back(static_cast<size_t>(row));
        }
    }
    return rows;
}

void StatusColumnsDialog::toggleSelected() {
    toggleStatusRows(columns_, selectedRows());
    showRows();
}

void StatusColumnsDialog::move(int step) {
    const std::vector<size_t> rows = selectedRows();
    if (rows.size() != 1) {
        return; // only a single selected item moves
    }
    const size_t target = moveStatusRow(columns_, rows.front(), step);
    showRows();
    list_->clearSelection();
    list_->setCurrentRow(static_cast<int>(target));
}

void StatusColumnsDialog::markAll(bool shown) {
    showAllStatusRows(columns_, shown);
    showRows();
}

void StatusColumnsDialog::restoreDefaults() {
    columns_ = defaultStatusColumns();
    showRows();
}

bool StatusColumnsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list_ || event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        return false;
    }
    switch (key->key()) {
    case Qt::Key_Space:
        toggleSelected();
        return true;
    case Qt::Key_U:
        move(-1);
        return true;
    case Qt::Key_D:
        move(1);
        return true;
    case Qt::Key_L:
        markAll(true);
        return true;
    case Qt::Key_O:
        markAll(false);
        return true;
    case Qt::Key_F:
        restoreDefaults();
        return true;
    default:
        return false;
    }
}

} // namespace corvex
