#include "instruments/ui/control_panel_window.h"

#include "instruments/control_panel.h"
#include "instruments/ui/spin_edit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

namespace corvex {
namespace {

constexpr int kSections = 16;
constexpr int kNumbers = 8;

// The controller list's items: the code right-aligned in five average character widths, the
// name from seven, in the default GUI font; 32 widths wide, one line high.
class ControllerItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QFontMetrics metrics(option.font);
        const int width = metrics.averageCharWidth();
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        painter->save();
        painter->fillRect(option.rect,
                          option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        painter->setPen(
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const ControllerEntry& entry = controllerTable()[static_cast<size_t>(index.row())];
        const QRect code(option.rect.left(), option.rect.top(), 5 * width, option.rect.height());
        painter->drawText(code, Qt::AlignRight | Qt::AlignVCenter,
                          QString::fromStdString(controllerCodeText(entry.code)));
        const QRect name = option.rect.adjusted(7 * width, 0, 0, 0);
        painter->drawText(
            name, Qt::AlignLeft | Qt::AlignVCenter,
            QString::fromUtf8(entry.name.data(), static_cast<int>(entry.name.size())));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        const QFontMetrics metrics(option.font);
        return {32 * metrics.averageCharWidth(), metrics.height()};
    }
};

QString sectionText(int section) {
    return section < 9 ? QStringLiteral("&%1").arg(section + 1)
                       : QStringLiteral("1&%1").arg(section - 9);
}

QPushButton* radioButton(const QString& text, QButtonGroup* group, int id) {
    auto* button = new QPushButton(text);
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("16")) + 14);
    group->addButton(button, id);
    return button;
}

} // namespace

ControlPanelWindow::ControlPanelWindow(ControlPanel& panel, QWidget* owner)
    : QDialog(owner), panel_(panel), channel_(new SpinEdit(1, 16)), value_(new SpinEdit(0, 127)),
      msb_(new SpinEdit(0, 127)), lsb_(new SpinEdit(0, 127)), controllers_(new QComboBox),
      msbOn_(new QCheckBox(tr("&MSB:"))), lsbOn_(new QCheckBox(tr("&LSB:"))),
      allChannels_(new QCheckBox(tr("S&end All Channels"))),
      autoSend_(new QCheckBox(tr("&Auto Send"))), sections_(new QButtonGroup(this)),
      numbers_(new QButtonGroup(this)), bank_(new QLabel), patch_(new QLabel),
      program_(new QLabel) {
    setWindowTitle(tr("Control Panel"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildBankPatch());
    layout->addWidget(buildControls());
    restoreState();
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* ControlPanelWindow::buildBankPatch() {
    auto* group = new QGroupBox(tr("Bank/Patch Panel"));
    auto* seen = new QHBoxLayout;
    for (QLabel* label : {bank_, patch_, program_}) {
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("16383")) + 4);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    seen->addWidget(new QLabel(tr("Bank:")));
    seen->addWidget(bank_);
    seen->addWidget(new QLabel(tr("Patch:")));
    seen->addWidget(patch_);
    seen->addWidget(program_);
    seen->addStretch();

    auto* bankChange = new QGroupBox(tr("Bank Change"));
    auto* bankLayout = new QHBoxLayout(bankChange);
    auto* bankSend = new QPushButton(tr("Se&nd"));
    bankSend->setAutoDefault(false);
    bankLayout->addWidget(msbOn_);
    bankLayout->addWidget(msb_);
    bankLayout->addWidget(lsbOn_);
    bankLayout->addWidget(lsb_);
    bankLayout->addWidget(bankSend);
    connect(bankSend, &QPushButton::clicked, this, &ControlPanelWindow::sendBank);

    auto* sectionBox = new QGroupBox(tr("Section"));
    auto* sectionLayout = new QGridLayout(sectionBox);
    sectionLayout->setSpacing(2);
    for (int section = 0; section < kSections; ++section) {
        sectionLayout->addWidget(radioButton(sectionText(section), sections_, section), 0, section);
    }
    auto* numberBox = new QGroupBox(tr("Number"));
    auto* numberLayout = new QHBoxLayout(numberBox);
    numberLayout->setSpacing(2);
    for (int number = 0; number < kNumbers; ++number) {
        numberLayout->addWidget(
            radioButton(QStringLiteral("&%1").arg(number + 1), numbers_, number));
    }
    numberLayout->addStretch();
    for (QButtonGroup* buttons : {sections_, numbers_}) {
        connect(buttons, &QButtonGroup::idClicked, this, &ControlPanelWindow::programButtonClicked);
    }

    auto* layout = new QVBoxLayout(group);
    layout->addLayout(seen);
    layout->addWidget(bankChange);
    layout->addWidget(sectionBox);
    layout->addWidget(numberBox);
    return group;
}

QWidget* ControlPanelWindow::buildControls() {
    auto* controls = new QWidget;
    controllers_->setItemDelegate(new ControllerItemDelegate(controllers_));
    for (const ControllerEntry& entry : controllerTable()) {
        controllers_->addItem(QStringLiteral("%1 %2").arg(
            QString::fromStdString(controllerCodeText(entry.code)),
            QString::fromUtf8(entry.name.data(), static_cast<int>(entry.name.size()))));
    }
    auto* controllerLabel = new QLabel(tr("Con&troller Event"));
    controllerLabel->setBuddy(controllers_);
    auto* channelLabel = new QLabel(tr("C&hannel:"));
    channelLabel->setBuddy(channel_->edit());
    auto* valueLabel = new QLabel(tr("&Value:"));
    valueLabel->setBuddy(value_->edit());
    auto* sendButton = new QPushButton(tr("&Send"));
    sendButton->setDefault(true);
    auto* closeButton = new QPushButton(tr("&Close"));
    closeButton->setAutoDefault(false);

    auto* grid = new QGridLayout(controls);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(controllerLabel, 0, 0);
    grid->addWidget(controllers_, 0, 1, 1, 3);
    grid->addWidget(channelLabel, 1, 0);
    grid->addWidget(channel_, 1, 1);
    grid->addWidget(valueLabel, 1, 2);
    grid->addWidget(value_, 1, 3);
    grid->addWidget(allChannels_, 2, 0, 1, 2);
    grid->addWidget(autoSend_, 2, 2, 1, 2);
    grid->addWidget(sendButton, 0, 4);
    grid->addWidget(closeButton, 1, 4);

    connect(sendButton, &QPushButton::clicked, this, &ControlPanelWindow::send);
    connect(closeButton, &QPushButton::clicked, this, &ControlPanelWindow::closePanel);
    connect(allChannels_, &QCheckBox::toggled, this, [this](bool all) {
        channel_->setEnabled(!all);
        panel_.state().allChannels = all;
    });
    for (SpinEdit* field : {channel_, value_, msb_, lsb_}) {
        connect(field->edit(), &QLineEdit::editingFinished, this, [this, field] {
            if (field->isEnabled()) {
                checked(field);
            }
        });
    }
    connect(channel_->edit(), &QLineEdit::textChanged, this, &ControlPanelWindow::showTracked);
    // A step's send waits until the field shows the stepped number.
    const auto autoSend = [this](SpinEdit* field, QCheckBox* enabledBy,
                                 void (ControlPanelWindow::*action)()) {
        connect(field, &SpinEdit::stepped, this, [this, enabledBy, action] {
            if (autoSend_->isChecked() && (enabledBy == nullptr || enabledBy->isChecked())) {
                QTimer::singleShot(0, this, action);
            }
        });
    };
    autoSend(channel_, nullptr, &ControlPanelWindow::send);
    autoSend(value_, nullptr, &ControlPanelWindow::send);
    autoSend(msb_, msbOn_, &ControlPanelWindow::sendBank);
    autoSend(lsb_, lsbOn_, &ControlPanelWindow::sendBank);
    return controls;
}

void ControlPanelWindow::restoreState() {
    const ControlPanelState& state = panel_.state();
    channel_->setNumber(state.channel);
    value_->setNumber(state.value);
    controllers_->setCurrentIndex(state.controller);
    autoSend_->setChecked(state.autoSend);
    msbOn_->setChecked(state.msbOn);
    lsbOn_->setChecked(state.lsbOn);
    allChannels_->setChecked(state.allChannels);
    channel_->setEnabled(!state.allChannels);
    const auto [msb, lsb] = openingBank(panel_.tracked(state.channel));
    msb_->setNumber(msb);
    lsb_->setNumber(lsb);
    showTracked();
}

QPushButton* ControlPanelWindow::sectionButton(int section) const {
    return static_cast<QPushButton*>(sections_->button(section));
}

QPushButton* ControlPanelWindow::numberButton(int number) const {
    return static_cast<QPushButton*>(numbers_->button(number));
}

std::optional<int> ControlPanelWindow::checked(SpinEdit* field) {
    const CheckedNumber number =
        checkPanelField(field->edit()->text().toStdString(), field->low(), field->high());
    if (!number.corrected) {
        return number.number;
    }
    field->setNumber(number.number);
    QApplication::beep();
    field->edit()->setFocus();
    field->edit()->selectAll();
    return std::nullopt;
}

void ControlPanelWindow::send() {
    const int entry = controllers_->currentIndex();
    if (entry < 0) {
        return;
    }
    const std::optional<int> value = checked(value_);
    const std::optional<int> channel = value ? checked(channel_) : std::nullopt;
    if (!channel) {
        return;
    }
    panel_.state().channel = *channel;
    panel_.state().allChannels = allChannels_->isChecked();
    panel_.sendController(controllerTable()[static_cast<size_t>(entry)].code, *value);
}

void ControlPanelWindow::sendBank() {
    std::optional<int> lsb;
    std::optional<int> msb;
    if (lsbOn_->isChecked() && !(lsb = checked(lsb_))) {
        return;
    }
    if (msbOn_->isChecked() && !(msb = checked(msb_))) {
        return;
    }
    if (!msb && !lsb) {
        return;
    }
    const std::optional<int> channel = checked(channel_);
    if (!channel) {
        return;
    }
    panel_.state().channel = *channel;
    panel_.sendBank(msb, lsb);
}

void ControlPanelWindow::programButtonClicked() {
    const int section = sections_->checkedId();
    const int number = numbers_->checkedId();
    if (section < 0 || number < 0) {
        return;
    }
    const std::optional<int> channel = checked(channel_);
    if (!channel) {
        return;
    }
    const int program = section * 8 + number;
    program_->setText(QString::number(program + 1));
    panel_.state().channel = *channel;
    panel_.sendProgram(program);
}

void ControlPanelWindow::patchSeen(int channel) {
    const CheckedNumber shown = checkPanelField(channel_->edit()->text().toStdString(), 1, 16);
    if (!shown.corrected && shown.number == channel + 1) {
        showTracked();
    }
}

void ControlPanelWindow::showTracked() {
    const CheckedNumber channel = checkPanelField(channel_->edit()->text().toStdString(), 1, 16);
    if (channel.corrected) {
        return;
    }
    const BankPatchDisplay display = bankPatchDisplay(panel_.tracked(channel.number));
    bank_->setText(QString::fromStdString(display.bank));
    patch_->setText(QString::fromStdString(display.patch));
    program_->setText(QString::fromStdString(display.program));
    if (display.msb) {
        msb_->setNumber(*display.msb);
        lsb_->setNumber(*display.lsb);
    }
    uncheckAll(sections_);
    uncheckAll(numbers_);
    if (display.section >= 0) {
        sectionButton(display.section)->setChecked(true);
        numberButton(display.number)->setChecked(true);
    }
}

void ControlPanelWindow::uncheckAll(QButtonGroup* group) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) {
        button->setChecked(false);
    }
    group->setExclusive(true);
}

void ControlPanelWindow::closePanel() {
    std::optional<int> channel = checked(channel_);
    std::optional<int> value = channel ? checked(value_) : std::nullopt;
    if (!value || (msbOn_->isChecked() && !checked(msb_)) ||
        (lsbOn_->isChecked() && !checked(lsb_))) {
        return;
    }
    ControlPanelState& state = panel_.state();
    state.channel = *channel;
    state.value = *value;
    state.controller = std::max(controllers_->currentIndex(), 0);
    state.autoSend = autoSend_->isChecked();
    state.allChannels = allChannels_->isChecked();
    state.msbOn = msbOn_->isChecked();
    state.lsbOn = lsbOn_->isChecked();
    emit closeRequested();
}

void ControlPanelWindow::reject() {
    closePanel();
}

} // namespace corvex
