// "Select MCI Port": "Default (Mapper)" and then the output device names, the current
// choice selected; "&OK" or a double click takes the selection. UI thread only.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;

namespace corvex {

class PortDialog : public QDialog {
    Q_OBJECT
public:
    PortDialog(const std::vector<std::string>& names, int current, QWidget* parent = nullptr);
    // kMapperChoice or a device index.
    int choice() const;
    QListWidget* list() const { return list_; }

private:
    QListWidget* list_;
};

} // namespace corvex
