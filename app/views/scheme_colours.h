// The colour scheme on screen: its colours as Qt colours, the desktop's colours for the
// entries that follow the system, and the default set that fits the screen.
// Threads: the user-interface thread only.
#pragma once

#include "colour_table.h"

#include <QColor>

class QWidget;

namespace corvex {

inline QColor toQColor(Colour colour) {
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}
inline Colour fromQColor(const QColor& colour) {
    return rgbColour(static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
                     static_cast<uint8_t>(colour.blue()));
}

// The desktop colours of the widget's palette.
SystemColours paletteSystemColours(const QWidget& widget);
// The default set for the widget's screen (its depth) and palette.
ColourScheme screenDefaultColours(const QWidget& widget);

} // namespace corvex
