// "File Associations": a check box per file type, checked when the type opens with Corvex,
// its player or the text editor. OK associates or disassociates each type whose box changed;
// Cancel changes nothing. Threads: the user-interface thread only.
#pragma once

#include <QDialog>

#include <vector>

class QCheckBox;

namespace corvex {

class FileAssociations;

class FileAssociationsDialog : public QDialog {
    Q_OBJECT
public:
    FileAssociationsDialog(FileAssociations& associations, QWidget* parent);

    void accept() override;

private:
    FileAssociations& associations_;
    std::vector<QCheckBox*> boxes_; // in the order of associatedFileTypes()
    std::vector<bool> wasChecked_;
};

} // namespace corvex
