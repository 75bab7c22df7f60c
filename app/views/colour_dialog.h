// The colour scheme dialog: the 55 named colours in a list, a swatch of the selected one, the
// system colour dialog to change it (the change shows at once and is applied to every window
// 300 ms after the last edit), "&Reset Defaults", and the frame's background picture mode.
// OK keeps what was applied; Cancel applies the colours and picture the dialog started with.
// Threads: the user-interface thread only.
#pragma once

#include "colour_table.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QButtonGroup;
class QColorDialog;
class QFrame;
class QListWidget;
class QTimer;

namespace corvex {

// The frame's background picture: mode 0 none, 1 and 2 the built-in pictures, 3 a bitmap
// file of the user's.
struct BackgroundPicture {
    int mode = 1;
    std::string customPath;
    bool operator==(const BackgroundPicture&) const = default;
};

class ColourDialog : public QDialog {
    Q_OBJECT

public:
    using ApplyColours = std::function<void(const ColourScheme&)>;
    using ApplyPicture = std::function<void(const BackgroundPicture&)>;

    static constexpr int applyDelayMs = 300;

    // `defaults` is what "&Reset Defaults" loads (the set for the screen's depth).
    ColourDialog(const ColourScheme& colours, const ColourScheme& defaults,
                 const BackgroundPicture& picture, ApplyColours applyColours,
                 ApplyPicture applyPicture, QWidget* parent = nullptr);

    const ColourScheme& colours() const { return working_; }
    const BackgroundPicture& picture() const { return picture_; }
    int selectedItem() const;
    void selectItem(int index);
    // Opens the system colour dialog for the selected item (window-modal, returns at once).
    void changeColour();
    // The open system colour dialog, if any.
    QColorDialog* colourPicker() const { return picker_; }
    void resetDefaults();

    void accept() override;
    void reject() override;

private:
    void showSwatch();
    void setPictureMode(int mode);
    void choosePictureFile(int previousMode);
    void applyColoursNow();

    ColourScheme working_;
    const ColourScheme undo_;
    const ColourScheme defaults_;
    BackgroundPicture picture_;
    const BackgroundPicture undoPicture_;
    ApplyColours applyColours_;
    ApplyPicture applyPicture_;
    QListWidget* list_ = nullptr;
    QFrame* swatch_ = nullptr;
    QButtonGroup* pictureButtons_ = nullptr;
    QColorDialog* picker_ = nullptr;
    QTimer* applyTimer_ = nullptr;
};

} // namespace corvex
