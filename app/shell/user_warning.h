// Warnings to the user: a beep and a warning box titled with the product caption, owned by
// the window in use (the desktop when null). The text also goes to standard error, so a
// start from a terminal or a service log keeps it.
// Threads: the user-interface thread only.
#pragma once

#include <QString>

class QWidget;

namespace corvex {

// Waits until the user closes the box.
void warnUserAndWait(QWidget* owner, const QString& text);
// Shows the box and returns at once (for messages that do not stop what is going on).
void warnUser(QWidget* owner, const QString& text);

// "No Selected Devices or Previously selected devices could not be Opened!" with how to
// choose ports.
QString noDevicesText();

// `format` with its "%s" replaced by `argument`.
QString fillText(const char* format, const QString& argument);

} // namespace corvex
