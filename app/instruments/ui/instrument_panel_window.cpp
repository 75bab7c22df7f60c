#include "instruments/ui/instrument_panel_window.h"

#include "instruments/instrument_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionMenuItem>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace corvex {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// A button with a label before it and a drop-down arrow after it, in one row.
QWidget* buttonRow(QPushButton* button, QToolButton* arrow) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    arrow->setArrowType(Qt::DownArrow);
    layout->addWidget(button, 1);
    layout->addWidget(arrow);
    return row;
}

// Draws the patch menu's inherited names (set in italics) in their own colour as well, so
// that they stand apart from the list's own names at a glance.
class InheritedNameStyle : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element != CE_MenuItem || item == nullptr || !item->font.italic()) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QStyleOptionMenuItem inherited(*item);
        for (QPalette::ColorRole role :
             {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
            inherited.palette.setColor(role, kInheritedNameColour);
        }
        QProxyStyle::drawControl(element, &inherited, painter, widget);
    }

private:
    static constexpr QColor kInheritedNameColour{96, 96, 192};
};

} // namespace

InstrumentPanelWindow::InstrumentPanelWindow(CInstrPanel& panel, QWidget* owner)
    : QDialog(owner), panel_(panel), bankMenu_(new QMenu(this)), patchMenu_(new QMenu(this)),
      favouriteMenu_(new QMenu(this)) {
    auto* patchStyle = new InheritedNameStyle;
    patchStyle->setParent(patchMenu_);
    patchMenu_->setStyle(patchStyle);
    setWindowTitle("Instrument Panel");
    setModal(false);
    buildControls();
    panel_.reload();
    refresh();
}

void InstrumentPanelWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildInstrumentRows());
    layout->addWidget(buildFavouriteGroup());
    layout->addWidget(buildChannelGroup());
}

QWidget* InstrumentPanelWindow::buildInstrumentRows() {
    auto* rows = new QWidget;
    auto* form = new QFormLayout(rows);
    form->setContentsMargins(0, 0, 0, 0);

    folderEdit_ = new QLineEdit;
    auto* browse = new QPushButton("&...");
    browse->setFixedWidth(32);
    auto* folderRow = new QWidget;
    auto* folderLayout = new QHBoxLayout(folderRow);
    folderLayout->setContentsMargins(0, 0, 0, 0);
    folderLayout->addWidget(folderEdit_, 1);
    folderLayout->addWidget(browse);
    form->addRow("Instrument &Definitions Folder:", folderRow);
    connect(folderEdit_, &QLineEdit::editingFinished, this, &InstrumentPanelWindow::folderEdited);
    connect(browse, &QPushButton::clicked, this, &InstrumentPanelWindow::chooseFolder);

    fileBox_ = new QComboBox;
    instrumentBox_ = new QComboBox;
    methodBox_ = new QComboBox;
    methodBox_->addItems({"--None--", "Normal", "Controller0", "Controller32"});
    form->addRow("INS &File:", fileBox_);
    form->addRow("&Instr:", instrumentBox_);
    form->addRow("&Bank Select Method:", methodBox_);
    connect(fileBox_, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        if (!refreshing_) {
            panel_.chooseFile(name.toStdString());
            refreshInstruments();
        }
    });
    connect(instrumentBox_, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        if (!refreshing_) {
            panel_.chooseInstrument(name.toStdString());
            refreshInstruments();
        }
    });
    connect(methodBox_, &QComboBox::activated, this,
            [this](int index) { panel_.setMethod(index); });

    bankButton_ = new QPushButton;
    bankArrow_ = new QToolButton;
    patchButton_ = new QPushButton;
    patchArrow_ = new QToolButton;
    form->addRow("Bank:", buttonRow(bankButton_, bankArrow_));
    form->addRow("Patch:", buttonRow(patchButton_, patchArrow_));
    connect(bankButton_, &QPushButton::clicked, this, [this] { panel_.sendBankAndPatch(); });
    connect(patchButton_, &QPushButton::clicked, this, [this] { panel_.sendPatch(); });
    connect(bankArrow_, &QToolButton::clicked, this,
            [this] { popUpBeside(bankMenu(), bankArrow_); });
    connect(patchArrow_, &QToolButton::clicked, this,
            [this] { popUpBeside(patchMenu(), patchArrow_); });
    return rows;
}

QWidget* InstrumentPanelWindow::buildFavouriteGroup() {
    auto* group = new QGroupBox("Favorite Patches");
    auto* form = new QFormLayout(group);
    favouriteButton_ = new QPushButton;
    favouriteArrow_ = new QToolButton;
    form->addRow("Name:", buttonRow(favouriteButton_, favouriteArrow_));
    addFavouriteButton_ = new QPushButton("&Add to Favorites");
    removeFavouriteButton_ = new QPushButton("&Remove Favorite");
    auto* buttons = new QWidget;
    auto* buttonLayout = new QHBoxLayout(buttons);
    buttonLayout->setContentsMargins(0, 0, 0, 0);
    buttonLayout->addWidget(addFavouriteButton_);
    buttonLayout->addWidget(removeFavouriteButton_);
    form->addRow(buttons);
    connect(favouriteButton_, &QPushButton::clicked, this, [this] {
        panel_.recallFavourite(panel_.chosenFavourite());
        refresh();
    });
    connect(favouriteArrow_, &QToolButton::clicked, this,
            [this] { popUpBeside(favouriteMenu(), favouriteArrow_); });
    connect(addFavouriteButton_, &QPushButton::clicked, this,
            &InstrumentPanelWindow::askAddFavourite);
    connect(removeFavouriteButton_, &QPushButton::clicked, this,
            &InstrumentPanelWindow::askRemoveFavourite);
    return group;
}

QWidget* InstrumentPanelWindow::buildChannelGroup() {
    auto* group = new QGroupBox("&Channels");
    auto* grid = new QGridLayout(group);
    for (int channel = 0; channel < 16; ++channel) {
        QString label =
            channel < 9 ? QString("&%1").arg(channel + 1) : QString("1&%1").arg(channel - 9);
        auto* box = new QCheckBox(label);
        channelBoxes_[channel] = box;
        grid->addWidget(box, channel / 8, channel % 8);
        connect(box, &QCheckBox::toggled, this, [this, channel](bool on) {
            if (!refreshing_) {
                panel_.setChannelSelected(channel, on);
                refreshLabels();
            }
        });
    }
    auto* all = new QPushButton("A&ll");
    auto* none = new QPushButton("&None");
    grid->addWidget(all, 2, 0, 1, 2);
    grid->addWidget(none, 2, 2, 1, 2);
    connect(all, &QPushButton::clicked, this, [this] {
        panel_.selectAll();
        refreshChannels();
    });
    connect(none, &QPushButton::clicked, this, [this] {
        panel_.selectNone();
        refreshChannels();
    });
    return group;
}

void InstrumentPanelWindow::refresh() {
    QSignalBlocker blockFolder(folderEdit_);
    folderEdit_->setText(fromUtf8(panel_.folder()));
    refreshing_ = true;
    fileBox_->clear();
    for (const std::string& name : panel_.files()) {
        fileBox_->addItem(fromUtf8(name));
    }
    refreshing_ = false;
    refreshInstruments();
}

void InstrumentPanelWindow::refreshInstruments() {
    refreshing_ = true;
    fileBox_->setCurrentText(fromUtf8(panel_.insFile()));
    instrumentBox_->clear();
    for (const std::string& name : panel_.instruments()) {
        instrumentBox_->addItem(fromUtf8(name));
    }
    instrumentBox_->setCurrentText(fromUtf8(panel_.instrument()));
    refreshing_ = false;
    refreshChannels();
}

void InstrumentPanelWindow::refreshChannels() {
    refreshing_ = true;
    for (int channel = 0; channel < 16; ++channel) {
        channelBoxes_[channel]->setChecked(panel_.selection() >> channel & 1);
    }
    refreshing_ = false;
    refreshLabels();
}

void InstrumentPanelWindow::refreshLabels() {
    methodBox_->setCurrentIndex(panel_.method() >= 0 && panel_.method() <= 3 ? panel_.method()
                                                                             : -1);
    bankButton_->setText(fromUtf8(panel_.bankLabel()));
    patchButton_->setText(fromUtf8(panel_.patchLabel()));
    favouriteButton_->setText(fromUtf8(panel_.favouriteLabel()));
    const auto& names = panel_.patches().names;
    const bool named = std::any_of(names.begin(), names.end(),
                                   [](const std::string& name) { return !name.empty(); });
    const bool favourites = panel_.favourites().count() > 0;
    bankArrow_->setEnabled(panel_.banks().count > 0);
    patchArrow_->setEnabled(named);
    favouriteArrow_->setEnabled(favourites);
    favouriteButton_->setEnabled(panel_.chosenFavourite() >= 0);
    addFavouriteButton_->setEnabled(!panel_.favouriteSuggestion().empty());
    removeFavouriteButton_->setEnabled(favourites);
}

QMenu* InstrumentPanelWindow::bankMenu() {
    bankMenu_->clear();
    const CBankList& banks = panel_.banks();
    for (int index = 0; index < banks.count; ++index) {
        QAction* action = bankMenu_->addAction(fromUtf8(banks.entries[index].listName));
        if (banks.entries[index].bank == panel_.commonBank()) {
            bankMenu_->setDefaultAction(action);
        }
        connect(action, &QAction::triggered, this, [this, index] {
            panel_.chooseBank(index);
            refreshLabels();
        });
    }
    return bankMenu_;
}

// Names inherited through "BasedOn" are shown in italics and their own colour, the list's
// own ones upright.
QMenu* InstrumentPanelWindow::patchMenu() {
    patchMenu_->clear();
    const CPatchList& patches = panel_.patches();
    for (int patch = 0; patch < 128; ++patch) {
        if (patches.names[patch].empty()) {
            continue;
        }
        QAction* action = patchMenu_->addAction(fromUtf8(patches.names[patch]));
        if (patches.origin[patch] == 1) {
            QFont font = action->font();
            font.setItalic(true);
            action->setFont(font);
        }
        if (patch == panel_.commonPatch()) {
            patchMenu_->setDefaultAction(action);
        }
        connect(action, &QAction::triggered, this, [this, patch] {
            panel_.choosePatch(patch);
            refreshLabels();
        });
    }
    return patchMenu_;
}

QMenu* InstrumentPanelWindow::favouriteMenu() {
    favouriteMenu_->clear();
    const auto& favourites = panel_.favourites().items();
    for (int index = 0; index < static_cast<int>(favourites.size()); ++index) {
        QAction* action = favouriteMenu_->addAction(fromUtf8(favourites[index].name));
        connect(action, &QAction::triggered, this, [this, index] {
            panel_.recallFavourite(index);
            refresh();
        });
    }
    return favouriteMenu_;
}

void InstrumentPanelWindow::popUpBeside(QMenu* menu, QWidget* arrow) {
    if (!menu->isEmpty()) {
        menu->popup(arrow->mapToGlobal(QPoint(arrow->width(), arrow->height() / 2)));
    }
}

bool InstrumentPanelWindow::addFavourite(const QString& name) {
    const bool added = panel_.addFavourite(name.trimmed().toStdString());
    refreshLabels();
    return added;
}

void InstrumentPanelWindow::removeFavourite(int index) {
    panel_.removeFavourite(index);
    refreshLabels();
}

void InstrumentPanelWindow::askAddFavourite() {
    QString suggestion = fromUtf8(panel_.favouriteSuggestion());
    if (suggestion.isEmpty()) {
        return;
    }
    bool ok = false;
    QString name =
        QInputDialog::getText(this, "Add Favorite", "&Name", QLineEdit::Normal, suggestion, &ok);
    if (!ok || name.trimmed().isEmpty() || addFavourite(name)) {
        return;
    }
    QMessageBox::warning(this, "Add Favorite",
                         name.contains('\\')
                             ? QString("A favorite's name cannot contain \"\\\".")
                             : QString("\"%1\" could not be stored: at most 256 favorites are "
                                       "kept, and the settings must be writable.")
                                   .arg(name.trimmed()));
}

void InstrumentPanelWindow::askRemoveFavourite() {
    QStringList names;
    for (const CFavorite& favourite : panel_.favourites().items()) {
        names << fromUtf8(favourite.name);
    }
    if (names.isEmpty()) {
        return;
    }
    bool ok = false;
    QString name = QInputDialog::getItem(this, "Remove Favorite", "&Name", names,
                                         std::max(panel_.chosenFavourite(), 0), false, &ok);
    if (ok) {
        removeFavourite(static_cast<int>(names.indexOf(name)));
    }
}

void InstrumentPanelWindow::chooseFolder() {
    QString folder = QFileDialog::getExistingDirectory(this, "Instrument Definition Folder",
                                                       folderEdit_->text());
    if (!folder.isEmpty()) {
        folderEdit_->setText(folder);
        folderEdited();
    }
}

void InstrumentPanelWindow::folderEdited() {
    if (panel_.setFolder(folderEdit_->text().trimmed().toStdString())) {
        refresh();
    }
}

} // namespace corvex
