#include "shell/user_warning.h"

#include "shell/startup_texts.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace corvex {
namespace {

QMessageBox* makeWarning(QWidget* owner, const QString& text) {
    std::fprintf(stderr, "corvex: %s\n", text.toLocal8Bit().constData());
    QApplication::beep();
    auto* box =
        new QMessageBox(QMessageBox::Warning, QString::fromUtf8(startup_text::kProductCaption),
                        text, QMessageBox::Ok, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

} // namespace

void warnUserAndWait(QWidget* owner, const QString& text) {
    makeWarning(owner, text)->exec();
}

void warnUser(QWidget* owner, const QString& text) {
    QMessageBox* box = makeWarning(owner, text);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

QString fillText(const char* format, const QString& argument) {
    QString text = QString::fromUtf8(format);
    return text.replace(QStringLiteral("%s"), argument);
}

QString noDevicesText() {
    return QString::fromUtf8(startup_text::kNoDevices) + QStringLiteral("\n\n") +
           QString::fromUtf8(startup_text::kChoosePorts);
}

} // namespace corvex
