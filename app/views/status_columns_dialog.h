// The "ConfigStatus" dialog: which status items the view shows and in which order, and the
// three snapshot sending options. Every item but "Chan" is listed, marked with an X when
// shown; Space toggles the selected items, U and D move one, L and O mark all or none, F
// restores the default set.
// Threads: the user-interface thread only.
#pragma once

#include "status_columns.h"
#include "views/snapshot_messages.h"

#include <QDialog>

class QCheckBox;
class QListWidget;

namespace corvex {

class StatusColumnsDialog : public QDialog {
    Q_OBJECT
public:
    StatusColumnsDialog(const StatusColumns& columns, const SnapshotOptions& options,
                        QWidget* parent = nullptr);

    const StatusColumns& columns() const { return columns_; }
    SnapshotOptions options() const;

    // The list's text of row r: "X " or two spaces, then the title.
    QString rowText(size_t row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRows();
    std::vector<size_t> selectedRows() const;
    void toggleSelected();
    void move(int step);
    void markAll(bool shown);
    void restoreDefaults();

    StatusColumns columns_;
    QListWidget* list_ = nullptr;
    QCheckBox* controllers_ = nullptr;
    QCheckBox* mode_ = nullptr;
    QCheckBox* extra_ = nullptr;
};

} // namespace corvex
