// The font dialog of the monitors: Qt's font dialog (not the desktop's, which may not honour
// the restriction) listing fixed-pitch fonts only, starting from the monitors' current font.
// Threads: the user-interface thread only.
#pragma once

#include "settings_profile.h"

#include <QFontDialog>

namespace corvex {

class MonitorFontDialog : public QFontDialog {
    Q_OBJECT

public:
    explicit MonitorFontDialog(const QFont& current, QWidget* parent = nullptr);

    // The chosen font as the settings keep it.
    MonitorFont monitorFont() const;
    static MonitorFont fromQFont(const QFont& font);
    // Tells the user that the chosen font could not be used.
    static void reportFontError(QWidget* parent);
};

} // namespace corvex
