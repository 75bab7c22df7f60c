#include "views/monitor_font_dialog.h"

#include <QApplication>
#include <QMessageBox>

namespace corvex {

MonitorFontDialog::MonitorFontDialog(const QFont& current, QWidget* parent)
    : QFontDialog(current, parent) {
    // The desktop's own font dialog may show every font whatever it is asked; this one lists
    // the fixed-pitch families only, starting at the font the monitors draw with.
    setOption(QFontDialog::DontUseNativeDialog);
    setOption(QFontDialog::MonospacedFonts);
    setCurrentFont(current);
}

MonitorFont MonitorFontDialog::monitorFont() const {
    return fromQFont(currentFont());
}

MonitorFont MonitorFontDialog::fromQFont(const QFont& font) {
    MonitorFont result;
    result.faceName = font.family().toStdString();
    result.size = font.pointSize() > 0 ? font.pointSize() : result.size;
    result.bold = font.weight() > QFont::Normal;
    result.italic = font.italic();
    return result;
}

void MonitorFontDialog::reportFontError(QWidget* parent) {
    QApplication::beep();
    QMessageBox::warning(parent, QApplication::applicationDisplayName(),
                         QObject::tr("Error Creating the Font!"));
}

} // namespace corvex
