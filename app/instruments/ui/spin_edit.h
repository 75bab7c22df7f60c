// A number field with up and down buttons beside it: the text may be anything while typed
// (the dialog checks it on leaving); a step reads it (not a number: the lower bound), moves
// it by one within its range and reports the step.
//
// Threads: the user-interface thread only.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace corvex {

class SpinEdit : public QWidget {
    Q_OBJECT
public:
    SpinEdit(int low, int high, QWidget* parent = nullptr);

    QLineEdit* edit() const { return edit_; }
    int low() const { return low_; }
    int high() const { return high_; }
    void setNumber(int number);
    // Steps by `delta` as a click on the buttons does.
    void step(int delta);

signals:
    void stepped();

private:
    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
    int low_;
    int high_;
};

} // namespace corvex
