#include "routing/ui/connection_properties_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvex {
namespace {

// "&1" .. "&9", "1&0" .. "1&6": the last digit is the mnemonic.
QString channelText(int channel) {
    const QString number = QString::number(channel + 1);
    return number.left(number.size() - 1) + "&" + number.right(1);
}

} // namespace

ConnectionPropertiesDialog::ConnectionPropertiesDialog(const ConnectionProperties& properties,
                                                       QWidget* parent)
    : QDialog(parent), properties_(properties) {
    setWindowTitle(tr("Connection Properties"));
    auto* title = new QLineEdit(QString::fromStdString(properties.title));
    title->setReadOnly(true);

    auto* channels = new QGroupBox(tr("Channels"));
    auto* grid = new QGridLayout(channels);
    for (int channel = 0; channel < 16; ++channel) {
        channels_[channel] = new QCheckBox(channelText(channel));
        channels_[channel]->setChecked((properties.mask >> channel & 1u) != 0);
        grid->addWidget(channels_[channel], channel / 8, channel % 8);
    }
    auto* all = new QPushButton(tr("A&ll"));
    auto* none = new QPushButton(tr("&None"));
    connect(all, &QPushButton::clicked, this, [this] { setAllChannels(true); });
    connect(none, &QPushButton::clicked, this, [this] { setAllChannels(false); });
    grid->addWidget(all, 2, 0, 1, 2);
    grid->addWidget(none, 2, 2, 1, 2);

    auto* system = new QGroupBox(tr("System"));
    auto* systemColumn = new QVBoxLayout(system);
    common_ = new QCheckBox(tr("&Common (MTC ...)"));
    realtime_ = new QCheckBox(tr("&Realtime (Clock, AS ...)"));
    sysex_ = new QCheckBox(tr("&Exclusive (SysEx)"));
    for (QCheckBox* box : {common_, realtime_, sysex_}) {
        box->setChecked((properties.mask & systemBit(box)) != 0);
        systemColumn->addWidget(box);
    }

    maps_ = new QComboBox;
    for (const auto& choice : properties.mapChoices) {
        maps_->addItem(QString::fromStdString(choice));
    }
    maps_->setCurrentIndex(properties.chosenMap);
    auto* mapRow = new QHBoxLayout;
    auto* mapLabel = new QLabel(tr("Map File:"));
    mapLabel->setBuddy(maps_);
    mapRow->addWidget(mapLabel);
    mapRow->addWidget(maps_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addWidget(title);
    column->addWidget(channels);
    column->addWidget(system);
    column->addLayout(mapRow);
    column->addWidget(buttons);
}

uint32_t ConnectionPropertiesDialog::systemBit(const QCheckBox* box) const {
    if (box == common_) {
        return CVX_ROUTE_SYSTEM_COMMON;
    }
    return box == realtime_ ? CVX_ROUTE_REALTIME : CVX_ROUTE_SYSEX;
}

QCheckBox* ConnectionPropertiesDialog::systemBox(uint32_t bit) const {
    for (QCheckBox* box : {common_, realtime_, sysex_}) {
        if (systemBit(box) == bit) {
            return box;
        }
    }
    return nullptr;
}

void ConnectionPropertiesDialog::setAllChannels(bool on) {
    for (QCheckBox* box : channels_) {
        box->setChecked(on);
    }
}

ConnectionProperties ConnectionPropertiesDialog::properties() const {
    ConnectionProperties shown = properties_;
    shown.mask = 0;
    for (int channel = 0; channel < 16; ++channel) {
        shown.mask |= channels_[channel]->isChecked() ? 1u << channel : 0u;
    }
    for (QCheckBox* box : {common_, realtime_, sysex_}) {
        shown.mask |= box->isChecked() ? systemBit(box) : 0u;
    }
    shown.chosenMap = maps_->currentIndex();
    return shown;
}

} // namespace corvex
