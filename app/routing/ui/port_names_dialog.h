// "Customize Port Names": every input and then every output as a row of its shown name (the
// first column, edited with F2 or a click) and its device name. Editing changes the rows
// only; the caller stores rows() after OK. OK is refused while two ports of one direction
// would be shown with the same name.
//
// User-interface thread only.
#pragma once

#include "routing/custom_port_names.h"

#include <QDialog>

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace corvex {

class PortNamesDialog : public QDialog {
    Q_OBJECT
public:
    explicit PortNamesDialog(std::vector<PortNameRow> rows, QWidget* parent = nullptr);

    const std::vector<PortNameRow>& rows() const { return rows_; }
    QTreeWidget* list() const { return list_; }

    void accept() override;

private:
    void nameEdited(QTreeWidgetItem* item, int column);

    std::vector<PortNameRow> rows_;
    QTreeWidget* list_;
};

} // namespace corvex
