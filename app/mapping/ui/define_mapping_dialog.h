// The "Define Mapping" dialog: one row's input and output fields. Labels, ranges and enabled
// fields follow the message types; OK reads the fields through rowOfForm (a clamped number
// beeps).
//
// Threads: the user-interface thread only.
#pragma once

#include "mapping/map_editor_model.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QGridLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace corvex {

class DefineMappingDialog : public QDialog {
    Q_OBJECT
public:
    explicit DefineMappingDialog(const MapEditorRow& row, QWidget* parent = nullptr);

    // The fields as the row they stand for.
    MapEditorRow row() const;
    MapRowForm form() const;
    void setForm(const MapRowForm& form);

private:
    struct Side {
        QComboBox* channel;
        QComboBox* type;
        std::array<QSpinBox*, 4> values;
        std::array<QLabel*, 4> bounds; // "Min" and "Max" before each number
        QLabel* value1;
        QLabel* value2;
    };
    Side makeSide(const QString& channelCaption, const QString& typeCaption, bool output,
                  QGridLayout* grid, int column);
    uint8_t typeOf(const Side& side) const;
    void followTypes();

    Side in_;
    Side out_;
    QCheckBox* clone_;
    QCheckBox* pull1_;
    QCheckBox* pull2_;
    QSpinBox* delay_;
    QLabel* sysexLabel_;
    QLineEdit* sysex_;
};

} // namespace corvex
