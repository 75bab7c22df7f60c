#include "views/scheme_colours.h"

#include <QScreen>
#include <QWidget>

namespace corvex {

SystemColours paletteSystemColours(const QWidget& widget) {
    const QPalette& palette = widget.palette();
    SystemColours system;
    system.activeCaption = fromQColor(palette.color(QPalette::Active, QPalette::Highlight));
    system.captionText = fromQColor(palette.color(QPalette::Active, QPalette::HighlightedText));
    system.window = fromQColor(palette.color(QPalette::Base));
    system.windowText = fromQColor(palette.color(QPalette::Text));
    return system;
}

ColourScheme screenDefaultColours(const QWidget& widget) {
    const QScreen* screen = widget.screen();
    const bool deep = screen == nullptr || screen->depth() >= 16;
    return defaultColours(deep ? ColourDepth::AtLeast16Bits : ColourDepth::Fewer,
                          paletteSystemColours(widget));
}

} // namespace corvex
