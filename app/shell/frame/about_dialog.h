// The About dialog ("About"): the product caption, the version and the build. Clicking the
// picture animates it; while it turns, the OK button runs from the cursor, and a right click
// on the picture stops it and puts the button back.
// Threads: user-interface thread only.
#pragma once

#include "button_dodge.h"

#include <QDialog>
#include <QPoint>
#include <QTimer>

#include <memory>

class QLabel;
class QPushButton;

namespace corvex {

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    bool animating() const { return animation_.isActive(); }
    QPushButton* okButton() const { return ok_; }
    QLabel* picture() const { return picture_; }

    // "Version: 0.1.0" and "64 Bit build: x64" as shown.
    static QString versionText();
    static QString buildText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startAnimation();
    void stopAnimation();
    void turnPicture();
    void dodge(QPoint cursor);

    QLabel* picture_;
    QPushButton* ok_;
    QTimer animation_;
    int angle_ = 0;
    QPoint okHome_;
    QPoint lastCursor_;
    std::unique_ptr<ButtonDodge> dodge_;
};

} // namespace corvex
