// "MIDI Devices": chooses the input and output ports to open, edits the routing of every
// selected output as a tree of nodes dragged from a palette, and saves, loads and deletes
// device presets. All editing changes working copies only; the caller applies setup() after
// OK (reopening the ports through the device manager) and drops it after Cancel.
//
// User-interface thread only.
#pragma once

#include "routing/port_mapping_tree.h"
#include "settings/settings_store.h"

#include <QDialog>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QListWidget;

namespace corvex {

struct MidiDevicesSetup {
    std::vector<std::string> inputNames; // display names by device index
    std::vector<std::string> outputNames;
    RoutingState routing; // the selected ports in their order, output maps, data maps
    bool autoAttach = true;
    std::string mapFolder;
    std::string presetName; // the preset shown in the presets box, if one is
};

// The Port Mapping tree: takes drops from the palette where the rules allow them, scrolls
// every 75 ms while a drag is near its top or bottom edge and deletes the current node on Del.
class PortMappingTreeWidget : public QTreeWidget {
public:
    // `drop` answers whether `dragged` may go onto `target`, and applies it when `apply`.
    using DropHandler =
        std::function<bool(QTreeWidgetItem* dragged, QTreeWidgetItem* target, bool apply)>;
    PortMappingTreeWidget(QTreeWidget& palette, DropHandler drop, std::function<void()> remove);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void scrollStep();

    QTreeWidget& palette_;
    DropHandler drop_;
    std::function<void()> remove_;
    QTimer scrollTimer_;
    int scrollDirection_ = 0;
};

class MidiDevicesDialog : public QDialog {
    Q_OBJECT
public:
    MidiDevicesDialog(MidiDevicesSetup setup, SettingsStore& store, QWidget* parent = nullptr);

    const MidiDevicesSetup& setup() const { return setup_; }
    // Asked before a preset is overwritten; a message box unless replaced (tests).
    void setOverwriteQuestion(std::function<bool(const QString& text)> ask) {
        askOverwrite_ = std::move(ask);
    }

    QListWidget* inputList() const { return inputs_; }
    QListWidget* outputList() const { return outputs_; }
    QTreeWidget* mappingTree() const { return mapping_; }
    QTreeWidget* palette() const { return palette_; }
    QComboBox* presets() const { return presets_; }
    QCheckBox* autoAttachBox() const { return autoAttach_; }

    // What a drop of a palette item onto a Port Mapping item does (false: refused).
    bool dropItem(QTreeWidgetItem* dragged, QTreeWidgetItem* target, bool apply = true);
    // Deletes the selected Port Mapping node (context menu, Del key).
    void deleteSelectedNode();
    void savePreset();
    void deletePreset();
    void loadPreset(const QString& name);

    void accept() override;

private:
    QListWidget* portList(const std::vector<std::string>& names, const std::vector<int>& selected);
    void inputsChanged();
    void outputsChanged();
    void rebuildTrees();
    void fillPresets();
    void showContextMenu(const QPoint& at);
    void selectListed(QListWidget* list, const std::vector<int>& selected);
    std::vector<std::string> mapFiles() const;

    MidiDevicesSetup setup_;
    RoutingState state_; // the working copies
    SettingsStore& store_;
    std::function<bool(const QString&)> askOverwrite_;
    QListWidget* inputs_;
    QListWidget* outputs_;
    QTreeWidget* palette_;
    PortMappingTreeWidget* mapping_;
    QComboBox* presets_;
    QCheckBox* autoAttach_;
};

// The 16-pixel picture of a node kind.
QIcon routingNodeIcon(NodeKind kind);

} // namespace corvex
