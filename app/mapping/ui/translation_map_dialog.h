// The "Translation Map" dialog: the rows of the working map with their commands (buttons,
// context menu, keys), the map's switches and options, loading and saving map files, files
// dropped on it, and opening a text map in the user's editor. OK hands the working map to
// `accept` (which may refuse it, and the dialog then stays open); Cancel changes nothing.
//
// Threads: the user-interface thread only.
#pragma once

#include "mapping/map_editor_model.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QListWidget;
class QDragEnterEvent;
class QDropEvent;

namespace corvex {

class TranslationMapDialog : public QDialog {
    Q_OBJECT
public:
    // `accept` returns false to keep the dialog open (the map does not fit the engine).
    TranslationMapDialog(const DataMap& map, std::function<bool(const DataMap&)> accept,
                         QWidget* parent = nullptr);

    MapEditor& editor() { return editor_; }
    // Opens Define Mapping on a new row (Insert) or on the selected one (Edit).
    void insertRow();
    void editRow();
    // Reads a map file into the working map (replacing or appending), or writes it.
    bool loadFile(const QString& path, bool append);
    bool saveFile(const QString& path);
    // Re-reads the list and the boxes from the editor.
    void refresh();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void readBoxes();
    void showContextMenu(const QPoint& at);
    void askLoad();
    void askSave();
    void openInTextEditor();
    void finish();

    MapEditor editor_;
    std::function<bool(const DataMap&)> accept_;
    QListWidget* list_;
    QCheckBox* mapOn_;
    QCheckBox* keys_;
    std::vector<std::pair<QCheckBox*, uint16_t>> options_;
    std::vector<QWidget*> needRows_;
};

} // namespace corvex
