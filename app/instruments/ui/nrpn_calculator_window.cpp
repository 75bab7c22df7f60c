#include "instruments/ui/nrpn_calculator_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace corvex {
namespace {

constexpr NrpnField kFields[] = {NrpnField::Msb, NrpnField::Lsb, NrpnField::Value};

NumberBase otherBase(NumberBase base) {
    return base == NumberBase::Hex ? NumberBase::Decimal : NumberBase::Hex;
}

QLineEdit* numberEdit(bool readOnly) {
    auto* edit = new QLineEdit;
    edit->setReadOnly(readOnly);
    edit->setMaxLength(8);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    return edit;
}

} // namespace

NrpnCalculatorWindow::NrpnCalculatorWindow(NrpnNumbers& numbers, QWidget* owner)
    : QDialog(owner), numbers_(numbers), decimal_(new QRadioButton(tr("&Decimal"))),
      hex_(new QRadioButton(tr("&Hex"))) {
    setWindowTitle(tr("NRPN Calculator"));
    setModal(false);
    auto* baseBox = new QGroupBox(tr("Base"));
    auto* baseLayout = new QVBoxLayout(baseBox);
    baseLayout->addWidget(decimal_);
    baseLayout->addWidget(hex_);

    const QString names[] = {tr("&MSB"), tr("&LSB"), tr("&NRPN")};
    auto* grid = new QGridLayout;
    for (size_t i = 0; i < 3; ++i) {
        const int column = static_cast<int>(i) * 3 + (i == 2 ? 1 : 0);
        auto* name = new QLabel(names[i]);
        fields_[i] = numberEdit(false);
        others_[i] = numberEdit(true);
        others_[i]->setFocusPolicy(Qt::NoFocus);
        name->setBuddy(fields_[i]);
        upperHex_[i] = new QLabel(QStringLiteral("H"));
        lowerHex_[i] = new QLabel(QStringLiteral("H"));
        grid->addWidget(name, 0, column);
        grid->addWidget(fields_[i], 1, column);
        grid->addWidget(upperHex_[i], 1, column + 1);
        grid->addWidget(others_[i], 2, column);
        grid->addWidget(lowerHex_[i], 2, column + 1);
        connect(fields_[i], &QLineEdit::textEdited, this, [this, i] {
            (kFields[i] == NrpnField::Value ? valueChanged_ : pairChanged_) = true;
        });
        connect(fields_[i], &QLineEdit::editingFinished, this,
                [this, i] { fieldLeft(kFields[i]); });
    }
    grid->addWidget(new QLabel(QStringLiteral("=")), 1, 6);

    auto* numbersLayout = new QVBoxLayout;
    numbersLayout->addWidget(new QLabel(tr("Enter: MSB and LSB or NRPN (or any 14 bit value).")));
    numbersLayout->addLayout(grid);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(baseBox);
    layout->addLayout(numbersLayout);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    (numbers_.base == NumberBase::Hex ? hex_ : decimal_)->setChecked(true);
    connect(hex_, &QRadioButton::toggled, this,
            [this](bool on) { setBase(on ? NumberBase::Hex : NumberBase::Decimal); });
    showNumbers();
}

bool NrpnCalculatorWindow::upperRowInHex() const {
    return !upperHex_[0]->isHidden();
}

bool NrpnCalculatorWindow::check(NrpnField which) {
    QLineEdit* edit = field(which);
    const CheckedField checked = checkNrpnField(edit->text().toStdString(), which, numbers_.base);
    if (checked.corrected) {
        edit->setText(
            QString::fromStdString(formatNrpnField(checked.number, which, numbers_.base)));
        QApplication::beep();
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    switch (which) {
    case NrpnField::Msb:
        numbers_.msb = checked.number;
        break;
    case NrpnField::Lsb:
        numbers_.lsb = checked.number;
        break;
    case NrpnField::Value:
        numbers_.value = checked.number;
        break;
    }
    return true;
}

void NrpnCalculatorWindow::fieldLeft(NrpnField which) {
    if (check(which)) {
        recalculate();
    }
}

void NrpnCalculatorWindow::recalculate() {
    if (pairChanged_) {
        numbers_.setPair(numbers_.msb, numbers_.lsb);
    } else if (valueChanged_) {
        numbers_.setValue(numbers_.value);
    }
    showNumbers();
}

void NrpnCalculatorWindow::setBase(NumberBase base) {
    numbers_.base = base;
    showNumbers();
}

void NrpnCalculatorWindow::showNumbers() {
    const NumberBase other = otherBase(numbers_.base);
    for (size_t i = 0; i < 3; ++i) {
        const int number = numbers_.field(kFields[i]);
        fields_[i]->setText(
            QString::fromStdString(formatNrpnField(number, kFields[i], numbers_.base)));
        others_[i]->setText(QString::fromStdString(formatNrpnField(number, kFields[i], other)));
        upperHex_[i]->setVisible(numbers_.base == NumberBase::Hex);
        lowerHex_[i]->setVisible(other == NumberBase::Hex);
    }
    pairChanged_ = false;
    valueChanged_ = false;
}

void NrpnCalculatorWindow::closeCalculator() {
    for (NrpnField which : kFields) {
        if (!check(which)) {
            return;
        }
    }
    recalculate();
    emit closeRequested();
}

void NrpnCalculatorWindow::reject() {
    closeCalculator();
}

} // namespace corvex
