// The "Control Panel" window over the panel that outlives it: the controller list, channel
// and value, the bank change with its MSB and LSB halves, the section and number buttons of
// the program, and the bank and program last seen on the channel. Fields are checked on
// leaving them, before every send and on closing: a number out of range becomes the nearest
// bound with a beep and keeps the focus, and the action stops.
//
// Threads: the user-interface thread only.
#pragma once

#include <QDialog>

#include <array>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace corvex {

class ControlPanel;
class SpinEdit;

class ControlPanelWindow : public QDialog {
    Q_OBJECT
public:
    ControlPanelWindow(ControlPanel& panel, QWidget* owner);

    // A program change was tracked on `channel` (0-15): the display follows when it is the
    // panel's channel.
    void patchSeen(int channel);

    // "&Send", bank "Se&nd" and "&Close" as their buttons do them.
    void send();
    void sendBank();
    void closePanel();

    SpinEdit* channelField() const { return channel_; }
    SpinEdit* valueField() const { return value_; }
    SpinEdit* msbField() const { return msb_; }
    SpinEdit* lsbField() const { return lsb_; }
    QComboBox* controllerList() const { return controllers_; }
    QCheckBox* msbBox() const { return msbOn_; }
    QCheckBox* lsbBox() const { return lsbOn_; }
    QCheckBox* allChannelsBox() const { return allChannels_; }
    QCheckBox* autoSendBox() const { return autoSend_; }
    QPushButton* sectionButton(int section) const;
    QPushButton* numberButton(int number) const;
    QLabel* bankLabel() const { return bank_; }
    QLabel* patchLabel() const { return patch_; }
    QLabel* programLabel() const { return program_; }

signals:
    // The panel checked its fields and kept its state: the frame may destroy it.
    void closeRequested();

protected:
    void reject() override; // the window's close and Escape close the panel too

private:
    QWidget* buildBankPatch();
    QWidget* buildControls();
    void restoreState();
    // The field's number, or nothing after correcting it (beep, focus, selection).
    std::optional<int> checked(SpinEdit* field);
    void showTracked();
    void programButtonClicked();
    void uncheckAll(QButtonGroup* group);

    ControlPanel& panel_;
    SpinEdit* channel_;
    SpinEdit* value_;
    SpinEdit* msb_;
    SpinEdit* lsb_;
    QComboBox* controllers_;
    QCheckBox* msbOn_;
    QCheckBox* lsbOn_;
    QCheckBox* allChannels_;
    QCheckBox* autoSend_;
    QButtonGroup* sections_;
    QButtonGroup* numbers_;
    QLabel* bank_;
    QLabel* patch_;
    QLabel* program_;
};

} // namespace corvex
