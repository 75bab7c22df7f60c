// "Choose Your Default MIDI Player": the path of the program that plays MIDI files, typed or
// found with "Browse". Threads: the user-interface thread only.
#pragma once

#include <QDialog>

class QLineEdit;

namespace corvex {

class MidiPlayerDialog : public QDialog {
    Q_OBJECT
public:
    MidiPlayerDialog(const QString& playerPath, QWidget* parent);

    QString playerPath() const;

private:
    void browse();

    QLineEdit* path_;
};

} // namespace corvex
