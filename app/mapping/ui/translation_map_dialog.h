// The "Translation Map" dialog: the rows of the working map with their commands (buttons,
// context menu, keys), the map's switches and options, loading and saving map files, files
// dropped on it, and opening a text map in the user's editor. OK hands the working map to
// `accept` (which may refuse it, and the dialog then stays open); Cancel changes nothing.
// The file dialogs start in fileFolder() and keep the folder last used there; the Load
// dialog's "&Append to Existing Map in Listbox" box starts as appendMaps() and keeps its state.
//
// Threads: the user-interface thread only.
#pragma once

#include "mapping/map_editor_model.h"
#include "mapping/map_file_loader.h"

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
    // Reads a map file into the working map (replacing or appending), or writes it (by
    // extension: ".txm" as text, anything else binary).
    bool loadFile(const QString& path, bool append,
                  MapFileFormat format = MapFileFormat::ByExtension);
    bool saveFile(const QString& path, MapFileFormat format = MapFileFormat::ByExtension);
    // Opens `path` in the desktop's default application for text files.
    bool openInTextEditor(const QString& path);

    void setFileFolder(const QString& folder) { folder_ = folder; }
    const QString& fileFolder() const { return folder_; }
    void setAppendMaps(bool on) { appendMaps_ = on; }
    bool appendMaps() const { return appendMaps_; }
    // Re-reads the list and the boxes from the editor.
    void refresh();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void readBoxes();
    void placeBesideRow(QWidget& dialog) const;
    void showContextMenu(const QPoint& at);
    void askLoad();
    void askSave();
    void askTextMap();
    void finish();

    MapEditor editor_;
    std::function<bool(const DataMap&)> accept_;
    QListWidget* list_;
    QCheckBox* mapOn_;
    QCheckBox* keys_;
    std::vector<std::pair<QCheckBox*, uint16_t>> options_;
    std::vector<QWidget*> needRows_;
    QString folder_;
    bool appendMaps_ = false;
};

} // namespace corvex
