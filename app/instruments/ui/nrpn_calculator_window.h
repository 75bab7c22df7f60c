// The "NRPN Calculator" window: MSB and LSB or the 14-bit value typed in the chosen base, the
// other side computed on leaving a field or on Enter, and all three shown in the other base
// below. Out-of-range or unreadable fields become the nearest bound with a beep and keep the
// focus. The numbers and the base outlive the window.
//
// Threads: the user-interface thread only.
#pragma once

#include "instruments/nrpn_numbers.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace corvex {

class NrpnCalculatorWindow : public QDialog {
    Q_OBJECT
public:
    NrpnCalculatorWindow(NrpnNumbers& numbers, QWidget* owner);

    QLineEdit* field(NrpnField which) const { return fields_[index(which)]; }
    QLineEdit* otherBaseField(NrpnField which) const { return others_[index(which)]; }
    QRadioButton* hexButton() const { return hex_; }
    QRadioButton* decimalButton() const { return decimal_; }
    // Whether the upper row's "H" labels show.
    bool upperRowInHex() const;
    // Checks all three fields, keeps the numbers and asks to be closed.
    void closeCalculator();

signals:
    void closeRequested();

protected:
    void reject() override;

private:
    static size_t index(NrpnField which) { return static_cast<size_t>(which); }
    bool check(NrpnField which);
    void fieldLeft(NrpnField which);
    void recalculate();
    void setBase(NumberBase base);
    void showNumbers();

    NrpnNumbers& numbers_;
    std::array<QLineEdit*, 3> fields_{};
    std::array<QLineEdit*, 3> others_{};
    std::array<QLabel*, 3> upperHex_{};
    std::array<QLabel*, 3> lowerHex_{};
    QRadioButton* decimal_;
    QRadioButton* hex_;
    bool pairChanged_ = false;
    bool valueChanged_ = false;
};

} // namespace corvex
