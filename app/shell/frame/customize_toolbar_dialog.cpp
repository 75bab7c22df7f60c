#include "customize_toolbar_dialog.h"

#include "frame_text.h"
#include "tool_bar_buttons.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvex {
namespace {

// A separator is shown by its name "SEP" as the dialog of the table names it.
void fill(QListWidget* list, const ToolBarLayout& buttons) {
    list->clear();
    for (int command : buttons) {
        auto* row = new QListWidgetItem(qs(toolBarButtonName(command)), list);
        row->setData(Qt::UserRole, command);
    }
}

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
    auto* made = new QPushButton(text, parent);
    made->setObjectName(QString::fromUtf8(name));
    made->setAutoDefault(false);
    return made;
}

} // namespace

CustomizeToolbarDialog::CustomizeToolbarDialog(const ToolBarLayout& layout, QWidget* parent)
    : QDialog(parent), opened_(keptToolBarButtons(layout)), layout_(opened_),
      addable_(new QListWidget(this)), shown_(new QListWidget(this)),
      add_(button(QStringLiteral("&Add ->"), "add", this)),
      remove_(button(QStringLiteral("<- &Remove"), "remove", this)),
      up_(button(QStringLiteral("Move &Up"), "up", this)),
      down_(button(QStringLiteral("Move &Down"), "down", this)) {
    setObjectName(QStringLiteral("CustomizeToolbar"));
    setWindowTitle(QStringLiteral("Customize Toolbar"));
    addable_->setObjectName(QStringLiteral("addable"));
    shown_->setObjectName(QStringLiteral("shown"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("A&vailable buttons:"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("&Toolbar buttons:"), this), 0, 2);
    grid->addWidget(addable_, 1, 0);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(add_);
    middle->addWidget(remove_);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);
    grid->addWidget(shown_, 1, 2);
    auto* side = new QVBoxLayout;
    side->addWidget(up_);
    side->addWidget(down_);
    side->addStretch();
    grid->addLayout(side, 1, 3);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("close"));
    buttons->addButton(QDialogButtonBox::Cancel);
    QPushButton* resetButton = button(QStringLiteral("R&eset"), "reset", this);
    QPushButton* defaults = button(QStringLiteral("De&faults"), "defaults", this);
    QPushButton* help = button(QStringLiteral("&Help"), "help", this);
    buttons->addButton(resetButton, QDialogButtonBox::ResetRole);
    buttons->addButton(defaults, QDialogButtonBox::ResetRole);
    buttons->addButton(help, QDialogButtonBox::HelpRole);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addWidget(buttons);

    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(resetButton, &QPushButton::clicked, this, &CustomizeToolbarDialog::reset);
    connect(defaults, &QPushButton::clicked, this, &CustomizeToolbarDialog::restoreDefaults);
    connect(help, &QPushButton::clicked, this, [this] {
        QMessageBox::information(this, windowTitle(),
                                 QStringLiteral("Select a button in one list and move it to the "
                                                "other with Add or Remove; Move Up and Move "
                                                "Down change its place on the toolbar."));
    });
    connect(add_, &QPushButton::clicked, this, &CustomizeToolbarDialog::addSelected);
    connect(remove_, &QPushButton::clicked, this, &CustomizeToolbarDialog::removeSelected);
    connect(up_, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(addable_, &QListWidget::itemDoubleClicked, this, &CustomizeToolbarDialog::addSelected);
    connect(shown_, &QListWidget::itemDoubleClicked, this, &CustomizeToolbarDialog::removeSelected);
    connect(addable_, &QListWidget::currentRowChanged, this,
            &CustomizeToolbarDialog::showButtonStates);
    connect(shown_, &QListWidget::currentRowChanged, this,
            &CustomizeToolbarDialog::showButtonStates);
    showLists(-1);
}

void CustomizeToolbarDialog::addSelected() {
    const QListWidgetItem* chosen = addable_->currentItem();
    if (chosen == nullptr) {
        return;
    }
    // The new button goes before the selected toolbar button, else at the end.
    const int at =
        shown_->currentRow() < 0 ? static_cast<int>(layout_.size()) : shown_->currentRow();
    layout_.insert(layout_.begin() + at, chosen->data(Qt::UserRole).toInt());
    showLists(at);
}

void CustomizeToolbarDialog::removeSelected() {
    const int row = shown_->currentRow();
    if (row < 0) {
        return;
    }
    layout_.erase(layout_.begin() + row);
    showLists(std::min(row, static_cast<int>(layout_.size()) - 1));
}

void CustomizeToolbarDialog::moveSelected(int step) {
    const int row = shown_->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= static_cast<int>(layout_.size())) {
        return;
    }
    std::swap(layout_[static_cast<size_t>(row)], layout_[static_cast<size_t>(to)]);
    showLists(to);
}

void CustomizeToolbarDialog::reset() {
    layout_ = opened_;
    showLists(-1);
}

void CustomizeToolbarDialog::restoreDefaults() {
    layout_ = defaultToolBarLayout();
    showLists(-1);
}

void CustomizeToolbarDialog::showLists(int selectedRow) {
    layout_ = keptToolBarButtons(layout_);
    fill(addable_, addableToolBarButtons(layout_));
    fill(shown_, layout_);
    addable_->setCurrentRow(0);
    shown_->setCurrentRow(selectedRow);
    showButtonStates();
}

void CustomizeToolbarDialog::showButtonStates() {
    const int row = shown_->currentRow();
    add_->setEnabled(addable_->currentRow() >= 0 && layout_.size() < kMaxToolBarLayoutButtons);
    remove_->setEnabled(row >= 0);
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row + 1 < static_cast<int>(layout_.size()));
}

} // namespace corvex
