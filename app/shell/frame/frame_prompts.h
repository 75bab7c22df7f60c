// The frame's modal interactions with the user: warnings, file choices, its option dialogs
// and opening pages in the browser. The frame uses the real ones; tests replace them so
// that nothing waits for a click.
// Threads: user-interface thread only.
#pragma once

#include "frame_options.h"
#include "tool_bar_layout.h"

#include <QString>
#include <QUrl>

class QWidget;

namespace corvex {

class FramePrompts {
public:
    virtual ~FramePrompts() = default;

    // A warning after a beep, titled with the product caption.
    virtual void warn(QWidget* owner, const QString& text);
    // A file that could not be opened or written, in a box titled "Error".
    virtual void fileError(QWidget* owner, const QString& text);
    // An existing file to open, or empty when the user cancelled.
    virtual QString openFileName(QWidget* owner, const QString& folder, const QString& filter);
    // A file to write, or empty when the user cancelled.
    virtual QString saveFileName(QWidget* owner, const QString& folder, const QString& filter);
    // True when the user pressed OK; `options` then holds the edited values.
    virtual bool editGeneralOptions(QWidget* owner, GeneralOptions& options);
    virtual bool editFolders(QWidget* owner, FolderSettings& folders);
    virtual void showAbout(QWidget* owner);
    // "Customize Toolbar"; true when the user kept the edited `layout`.
    virtual bool customizeToolBar(QWidget* owner, ToolBarLayout& layout);
    // Opens a web address or local file with the desktop's program for it.
    virtual bool openUrl(const QUrl& url);
};

// The profile filter of the string table ("Profile (*.ini)|*.ini|All Files (*.*)|*.*|") in
// the form file dialogs take: "Profile (*.ini);;All Files (*)".
QString fileDialogFilter(std::string_view tableFilter);

} // namespace corvex
