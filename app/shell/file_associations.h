// Which file types open with Corvex, its player or the text editor: the user's defaults in
// `$XDG_CONFIG_HOME/mimeapps.list`, changed one type at a time. Associating keeps the
// previous default as a backup (in Corvex's own "associations.ini"); disassociating puts
// the backup back, or removes Corvex's entry when there was none, so the desktop's own
// choice returns. Plain C++; called on the user-interface thread or at start-up.
#pragma once

#include "shell/desktop_folders.h"

#include <span>
#include <string>

namespace corvex {

enum class FileTypeOpener { Corvex, Player, TextEditor };

struct AssociatedFileType {
    int checkBox;            // the type's check box in the "File Associations" dialog
    const char* caption;     // its text
    const char* extension;   // ".syx"
    const char* mimeType;    // as the installed shared-mime-info package names it
    const char* description; // "Corvex SysEx"
    FileTypeOpener opener;
};

// The six types, in the dialog's order.
std::span<const AssociatedFileType> associatedFileTypes();

inline constexpr char kCorvexDesktopId[] = "corvex.desktop";
inline constexpr char kPlayerDesktopId[] = "tunelet.desktop";

// What a change did: `done` false when nothing was changed, with the reason; a message can
// also come with a change (a damaged list that was kept aside).
struct AssociationOutcome {
    bool done = false;
    std::string message;
};

class FileAssociations {
public:
    explicit FileAssociations(DesktopFolders folders);

    // The desktop id that opens `type` when it is associated: corvex.desktop,
    // tunelet.desktop, or for text maps the user's default for "text/plain" (empty when the
    // desktop names none).
    std::string openerOf(const AssociatedFileType& type) const;

    // True when the user's default for the type is its opener.
    bool isAssociated(const AssociatedFileType& type) const;

    AssociationOutcome associate(const AssociatedFileType& type);
    AssociationOutcome disassociate(const AssociatedFileType& type);

    // $XDG_CONFIG_HOME/mimeapps.list and the backup file beside Corvex's settings.
    std::string mimeAppsPath() const;
    std::string backupPath() const;

private:
    AssociationOutcome change(const AssociatedFileType& type, bool associate);

    DesktopFolders folders_;
};

} // namespace corvex
