#include "frame_prompts.h"

#include "about_dialog.h"
#include "customize_toolbar_dialog.h"
#include "folders_dialog.h"
#include "general_options_dialog.h"
#include "string_table.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

namespace corvex {

void FramePrompts::fileError(QWidget* owner, const QString& text) {
    QApplication::beep();
    QMessageBox::warning(owner, QStringLiteral("Error"), text);
}

bool FramePrompts::customizeToolBar(QWidget* owner, ToolBarLayout& layout) {
    CustomizeToolbarDialog dialog(layout, owner);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    layout = dialog.layout();
    return true;
}

void FramePrompts::warn(QWidget* owner, const QString& text) {
    QApplication::beep();
    QMessageBox::warning(owner, QString::fromUtf8(loadString(str::kProductCaption).data()), text);
}

QString FramePrompts::openFileName(QWidget* owner, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(owner, {}, folder, filter);
}

QString FramePrompts::saveFileName(QWidget* owner, const QString& folder, const QString& filter) {
    QFileDialog dialog(owner, {}, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("ini"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

bool FramePrompts::editGeneralOptions(QWidget* owner, GeneralOptions& options) {
    GeneralOptionsDialog dialog(options, owner);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    options = dialog.options();
    return true;
}

bool FramePrompts::editFolders(QWidget* owner, FolderSettings& folders) {
    FoldersDialog dialog(folders, owner);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    folders = dialog.folders();
    return true;
}

void FramePrompts::showAbout(QWidget* owner) {
    AboutDialog dialog(owner);
    dialog.exec();
}

bool FramePrompts::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

QString fileDialogFilter(std::string_view tableFilter) {
    // "Name|pattern|Name|pattern|": the names already show their patterns.
    const QStringList parts =
        QString::fromUtf8(tableFilter.data(), static_cast<qsizetype>(tableFilter.size()))
            .split(QLatin1Char('|'));
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        name.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
        names << name;
    }
    return names.join(QStringLiteral(";;"));
}

} // namespace corvex
