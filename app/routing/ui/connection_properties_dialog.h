// "Connection Properties": what one connection passes (its sixteen channels, system common,
// real-time and SysEx) and its data map. Works on a copy; the caller applies it on OK.
//
// User-interface thread only.
#pragma once

#include "routing/connection_properties.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;

namespace corvex {

class ConnectionPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    ConnectionPropertiesDialog(const ConnectionProperties& properties, QWidget* parent = nullptr);

    // The properties as the controls show them now.
    ConnectionProperties properties() const;
    QCheckBox* channelBox(int channel) const { return channels_[channel]; }
    QCheckBox* systemBox(uint32_t bit) const;
    QComboBox* mapList() const { return maps_; }

private:
    void setAllChannels(bool on);
    uint32_t systemBit(const QCheckBox* box) const;

    ConnectionProperties properties_;
    std::array<QCheckBox*, 16> channels_{};
    QCheckBox* common_ = nullptr;
    QCheckBox* realtime_ = nullptr;
    QCheckBox* sysex_ = nullptr;
    QComboBox* maps_ = nullptr;
};

} // namespace corvex
