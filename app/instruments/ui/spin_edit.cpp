#include "instruments/ui/spin_edit.h"

#include "instruments/control_panel.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace corvex {

SpinEdit::SpinEdit(int low, int high, QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), up_(new QToolButton(this)),
      down_(new QToolButton(this)), low_(low), high_(high) {
    edit_->setMaxLength(6);
    edit_->setFixedWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(16, 11);
    }
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(up_);
    arrows->addWidget(down_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(edit_);
    layout->addLayout(arrows);
    setFocusProxy(edit_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SpinEdit::setNumber(int number) {
    edit_->setText(QString::number(number));
}

void SpinEdit::step(int delta) {
    const std::string text = edit_->text().toStdString();
    const CheckedNumber current = checkPanelField(text, low_, high_);
    const int from = current.corrected ? low_ : current.number;
    setNumber(std::clamp(from + delta, low_, high_));
    emit stepped();
}

} // namespace corvex
