// The Folders dialog ("Folders", modal): the map, SysEx and snapshot folders, each with a
// browse button. OK is taken only when every folder the user changed exists; otherwise the
// first such field gets the focus and the dialog stays open.
// Threads: user-interface thread only.
#pragma once

#include "frame_options.h"

#include <QDialog>

#include <array>

class QLineEdit;

namespace corvex {

class FoldersDialog : public QDialog {
    Q_OBJECT

public:
    explicit FoldersDialog(const FolderSettings& folders, QWidget* parent = nullptr);

    // The folders as the fields show them now.
    FolderSettings folders() const;
    // The path field for control 594 (maps), 596 (SysEx) or 600 (snapshots); null otherwise.
    QLineEdit* field(int id) const;

    void accept() override;

private:
    void browse(std::size_t index);

    FolderSettings stored_;
    std::array<QLineEdit*, 3> fields_{};
};

} // namespace corvex
