// The "Instrument Panel" window: the INS file, instrument and bank select method lists, the
// bank and patch buttons with their menus, the favourites and the channel boxes, over the
// panel object that outlives it. Every choice goes to the panel, which sends it.
//
// Threads: the user-interface thread only.
#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace corvex {

class CInstrPanel;

class InstrumentPanelWindow : public QDialog {
    Q_OBJECT

public:
    InstrumentPanelWindow(CInstrPanel& panel, QWidget* owner);

    // Refills every list from the panel and refreshes the labels.
    void refresh();
    // The bank and patch buttons' texts follow the panel (after a program change was seen);
    // an arrow or favourite button with nothing to offer is disabled.
    void refreshLabels();

    QComboBox* fileBox() const { return fileBox_; }
    QComboBox* instrumentBox() const { return instrumentBox_; }
    QComboBox* methodBox() const { return methodBox_; }
    QLineEdit* folderEdit() const { return folderEdit_; }
    QPushButton* bankButton() const { return bankButton_; }
    QPushButton* patchButton() const { return patchButton_; }
    QPushButton* favouriteButton() const { return favouriteButton_; }
    QPushButton* addFavouriteButton() const { return addFavouriteButton_; }
    QToolButton* bankArrow() const { return bankArrow_; }
    QCheckBox* channelBox(int channel) const { return channelBoxes_[channel]; }
    // The menus as the arrow buttons show them, filled from the panel's current state.
    QMenu* bankMenu();
    QMenu* patchMenu();
    QMenu* favouriteMenu();
    // What "&Add to Favorites" and "&Remove Favorite" do after their dialogs; false when the
    // favourite was refused (a name with "\", a full list, a store that cannot be written).
    bool addFavourite(const QString& name);
    void removeFavourite(int index);

private:
    void buildControls();
    QWidget* buildInstrumentRows();
    QWidget* buildFavouriteGroup();
    QWidget* buildChannelGroup();
    void refreshInstruments();
    void refreshChannels();
    void popUpBeside(QMenu* menu, QWidget* arrow);
    void askAddFavourite();
    void askRemoveFavourite();
    void chooseFolder();
    void folderEdited();

    CInstrPanel& panel_;
    QLineEdit* folderEdit_ = nullptr;
    QComboBox* fileBox_ = nullptr;
    QComboBox* instrumentBox_ = nullptr;
    QComboBox* methodBox_ = nullptr;
    QPushButton* bankButton_ = nullptr;
    QToolButton* bankArrow_ = nullptr;
    QPushButton* patchButton_ = nullptr;
    QToolButton* patchArrow_ = nullptr;
    QPushButton* favouriteButton_ = nullptr;
    QToolButton* favouriteArrow_ = nullptr;
    QPushButton* addFavouriteButton_ = nullptr;
    QPushButton* removeFavouriteButton_ = nullptr;
    std::array<QCheckBox*, 16> channelBoxes_{};
    QMenu* bankMenu_ = nullptr;
    QMenu* patchMenu_ = nullptr;
    QMenu* favouriteMenu_ = nullptr;
    bool refreshing_ = false;
};

} // namespace corvex
