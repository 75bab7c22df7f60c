#include "routing/ui/midi_devices_dialog.h"

#include "routing/device_presets.h"
#include "routing/port_selection_edits.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragMoveEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

#include <array>

namespace corvex {

namespace {

constexpr int kEdgeZone = 16; // pixels near an edge that scroll during a drag
constexpr int kScrollPeriodMs = 75;
constexpr int kDeviceRole = Qt::UserRole;
enum NodeRole { KindRole = Qt::UserRole, IndexRole, OutputRole, InputRole, MapFileRole };

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

std::string nameAt(const std::vector<std::string>& names, int index) {
    return index >= 0 && static_cast<size_t>(index) < names.size() ? names[index] : std::string();
}

RoutingNode nodeOf(const QTreeWidgetItem* item) {
    RoutingNode node;
    node.kind = static_cast<NodeKind>(item->data(0, KindRole).toInt());
    node.index = item->data(0, IndexRole).toInt();
    node.output = item->data(0, OutputRole).toInt();
    node.input = item->data(0, InputRole).toInt();
    node.mapFile = item->data(0, MapFileRole).toString().toStdString();
    node.text = item->text(0).toStdString();
    return node;
}

void addNodes(const std::vector<RoutingNode>& nodes, QTreeWidget* tree, QTreeWidgetItem* parent) {
    for (const RoutingNode& node : nodes) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, text(node.text));
        item->setIcon(0, routingNodeIcon(node.kind));
        item->setData(0, KindRole, static_cast<int>(node.kind));
        item->setData(0, IndexRole, node.index);
        item->setData(0, OutputRole, node.output);
        item->setData(0, InputRole, node.input);
        item->setData(0, MapFileRole, text(node.mapFile));
        addNodes(node.children, tree, item);
    }
}

// The device indices selected in `list`, in list order.
std::vector<int> selectedDevices(const QListWidget* list) {
    std::vector<int> selected;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected()) {
            selected.push_back(list->item(row)->data(kDeviceRole).toInt());
        }
    }
    return selected;
}

} // namespace

QIcon routingNodeIcon(NodeKind kind) {
    static constexpr std::array<QRgb, 6> kColours = {0xFF2E7D32, 0xFF1565C0, 0xFFEF6C00,
                                                     0xFF6A1B9A, 0xFFC62828, 0xFF455A64};
    static constexpr std::array<char, 6> kLetters = {'I', 'O', 'C', 'S', 'X', 'M'};
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto at = static_cast<size_t>(kind);
    painter.setBrush(QColor::fromRgba(kColours[at]));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, QString(QChar(kLetters[at])));
    return QIcon(picture);
}

// ---- Port Mapping tree ---------------------------------------------------------------------

PortMappingTreeWidget::PortMappingTreeWidget(QTreeWidget& palette, DropHandler drop,
                                             std::function<void()> remove)
    : palette_(palette), drop_(std::move(drop)), remove_(std::move(remove)) {
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setHeaderHidden(true);
    scrollTimer_.setInterval(kScrollPeriodMs);
    connect(&scrollTimer_, &QTimer::timeout, this, &PortMappingTreeWidget::scrollStep);
}

void PortMappingTreeWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        remove_();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void PortMappingTreeWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == &palette_) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PortMappingTreeWidget::dragMoveEvent(QDragMoveEvent* event) {
    const QPoint at = event->position().toPoint();
    scrollDirection_ = at.y() < kEdgeZone ? -1 : at.y() > viewport()->height() - kEdgeZone ? 1 : 0;
    if (scrollDirection_ != 0 && !scrollTimer_.isActive()) {
        scrollTimer_.start();
    } else if (scrollDirection_ == 0) {
        scrollTimer_.stop();
    }
    QTreeWidgetItem* target = itemAt(at);
    if (event->source() == &palette_ && target != nullptr &&
        drop_(palette_.currentItem(), target, false)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void PortMappingTreeWidget::dragLeaveEvent(QDragLeaveEvent* event) {
    scrollTimer_.stop();
    QTreeWidget::dragLeaveEvent(event);
}

void PortMappingTreeWidget::dropEvent(QDropEvent* event) {
    scrollTimer_.stop();
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    if (event->source() == &palette_ && target != nullptr &&
        drop_(palette_.currentItem(), target, true)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void PortMappingTreeWidget::scrollStep() {
    verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                  scrollDirection_ * verticalScrollBar()->singleStep());
}

// ---- Dialog --------------------------------------------------------------------------------

MidiDevicesDialog::MidiDevicesDialog(MidiDevicesSetup setup, SettingsStore& store, QWidget* parent)
    : QDialog(parent), setup_(std::move(setup)), state_(setup_.routing), store_(store),
      askOverwrite_([this](const QString& question) {
          return QMessageBox::question(this, windowTitle(), question) == QMessageBox::Yes;
      }) {
    setWindowTitle(tr("MIDI Devices"));
    setWindowIcon(routingNodeIcon(NodeKind::OutPort));
    setSizeGripEnabled(true);
    setMinimumSize(520, 380);

    inputs_ = portList(setup_.inputNames, state_.inputs);
    outputs_ = portList(setup_.outputNames, state_.outputs);
    palette_ = new QTreeWidget;
    palette_->setHeaderHidden(true);
    palette_->setDragEnabled(true);
    palette_->setDragDropMode(QAbstractItemView::DragOnly);
    mapping_ = new PortMappingTreeWidget(
        *palette_,
        [this](QTreeWidgetItem* dragged, QTreeWidgetItem* target, bool apply) {
            return dropItem(dragged, target, apply);
        },
        [this] { deleteSelectedNode(); });
    mapping_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mapping_, &QWidget::customContextMenuRequested, this,
            &MidiDevicesDialog::showContextMenu);

    presets_ = new QComboBox;
    presets_->setEditable(true);
    presets_->setInsertPolicy(QComboBox::NoInsert);
    auto* save = new QToolButton;
    save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    save->setToolTip(tr("Save Preset"));
    auto* remove = new QToolButton;
    remove->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    remove->setToolTip(tr("Delete Preset"));
    connect(save, &QToolButton::clicked, this, &MidiDevicesDialog::savePreset);
    connect(remove, &QToolButton::clicked, this, &MidiDevicesDialog::deletePreset);
    connect(presets_, &QComboBox::activated, this,
            [this](int row) { loadPreset(presets_->itemText(row)); });
    autoAttach_ = new QCheckBox(tr("&Automatically attach Inputs to Outputs during selection."));
    autoAttach_->setChecked(setup_.autoAttach);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &MidiDevicesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MidiDevicesDialog::reject);

    auto* grid = new QGridLayout(this);
    const auto labelled = [grid](const QString& caption, QWidget* widget, int row, int column) {
        auto* label = new QLabel(caption);
        label->setBuddy(widget);
        grid->addWidget(label, row, column);
        grid->addWidget(widget, row + 1, column);
    };
    labelled(tr("MIDI &Inputs:"), inputs_, 0, 0);
    labelled(tr("MIDI &Outputs:"), outputs_, 0, 1);
    labelled(tr("&Port Mapping:"), mapping_, 2, 0);
    labelled(tr("Port &Map Objects:"), palette_, 2, 1);
    auto* presetRow = new QHBoxLayout;
    auto* presetLabel = new QLabel(tr("P&resets:"));
    presetLabel->setBuddy(presets_);
    presetRow->addWidget(presetLabel);
    presetRow->addWidget(presets_, 1);
    presetRow->addWidget(save);
    presetRow->addWidget(remove);
    grid->addLayout(presetRow, 4, 0, 1, 2);
    grid->addWidget(autoAttach_, 5, 0, 1, 2);
    grid->addWidget(buttons, 6, 0, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(3, 2);

    connect(inputs_, &QListWidget::itemSelectionChanged, this, &MidiDevicesDialog::inputsChanged);
    connect(outputs_, &QListWidget::itemSelectionChanged, this, &MidiDevicesDialog::outputsChanged);
    fillPresets();
    rebuildTrees();
}

// Every device as "%2d)  %s", the selected ones first (in their order) and selected.
QListWidget* MidiDevicesDialog::portList(const std::vector<std::string>& names,
                                         const std::vector<int>& selected) {
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    std::vector<int> order = selected;
    for (int index = 0; index < static_cast<int>(names.size()); ++index) {
        if (std::find(selected.begin(), selected.end(), index) == selected.end()) {
            order.push_back(index);
        }
    }
    for (int index : order) {
        auto* item = new QListWidgetItem(
            QString::asprintf("%2d)  %s", index + 1, nameAt(names, index).c_str()), list);
        item->setData(kDeviceRole, index);
    }
    selectListed(list, selected);
    return list;
}

void MidiDevicesDialog::selectListed(QListWidget* list, const std::vector<int>& selected) {
    const QSignalBlocker quiet(list);
    for (int row = 0; row < list->count(); ++row) {
        const int index = list->item(row)->data(kDeviceRole).toInt();
        list->item(row)->setSelected(std::find(selected.begin(), selected.end(), index) !=
                                     selected.end());
    }
}

void MidiDevicesDialog::inputsChanged() {
    selectInputs(state_, selectedDevices(inputs_), autoAttach_->isChecked());
    rebuildTrees();
}

void MidiDevicesDialog::outputsChanged() {
    selectOutputs(state_, selectedDevices(outputs_), autoAttach_->isChecked(), SelectedBy::User);
    rebuildTrees();
}

std::vector<std::string> MidiDevicesDialog::mapFiles() const {
    std::vector<std::string> files;
    if (setup_.mapFolder.empty()) {
        return files;
    }
    for (const QString& file :
         QDir(text(setup_.mapFolder)).entryList({"*.vxm"}, QDir::Files, QDir::Name)) {
        files.push_back(file.toStdString());
    }
    return files;
}

void MidiDevicesDialog::rebuildTrees() {
    const auto inputName = [this](int index) { return nameAt(setup_.inputNames, index); };
    const auto outputName = [this](int index) { return nameAt(setup_.outputNames, index); };
    RoutingChange dropped;
    const std::vector<RoutingNode> tree = portMappingTree(state_, outputName, inputName, dropped);
    mapping_->clear();
    addNodes(tree, mapping_, nullptr);
    mapping_->expandToDepth(1); // ports and their connections; the details on request
    palette_->clear();
    addNodes(paletteTree(state_, inputName, mapFiles()), palette_, nullptr);
}

bool MidiDevicesDialog::dropItem(QTreeWidgetItem* dragged, QTreeWidgetItem* target, bool apply) {
    if (dragged == nullptr || target == nullptr || !dropAllowed(nodeOf(dragged), nodeOf(target))) {
        return false;
    }
    if (apply) {
        dropNode(state_, nodeOf(dragged), nodeOf(target), setup_.mapFolder);
        // Rebuilt after the drop has returned: the target item belongs to the drop event.
        QMetaObject::invokeMethod(this, &MidiDevicesDialog::rebuildTrees, Qt::QueuedConnection);
    }
    return true;
}

void MidiDevicesDialog::deleteSelectedNode() {
    QTreeWidgetItem* item = mapping_->currentItem();
    if (item == nullptr) {
        return;
    }
    const RoutingNode node = nodeOf(item);
    if (node.kind == NodeKind::OutPort) {
        for (int row = 0; row < outputs_->count(); ++row) {
            if (outputs_->item(row)->data(kDeviceRole).toInt() == node.index) {
                outputs_->item(row)->setSelected(false); // the deselection does the rest
            }
        }
        return;
    }
    deleteNode(state_, node);
    rebuildTrees();
}

void MidiDevicesDialog::showContextMenu(const QPoint& at) {
    QTreeWidgetItem* item = mapping_->itemAt(at);
    if (item == nullptr) {
        return;
    }
    mapping_->setCurrentItem(item);
    QMenu menu(this);
    menu.addAction(text(deleteCommandText(nodeOf(item).kind)) + "\tDel", this,
                   &MidiDevicesDialog::deleteSelectedNode);
    menu.exec(mapping_->viewport()->mapToGlobal(at));
}

// The preset names; the last named preset is shown only when the selection matches it.
void MidiDevicesDialog::fillPresets() {
    const SettingsTree tree = store_.read();
    for (const std::string& name : devicePresetNames(tree)) {
        presets_->addItem(text(name));
    }
    presets_->setCurrentIndex(-1);
    presets_->setEditText({});
    const std::string last = lastNamedPreset(tree);
    if (last.empty()) {
        return;
    }
    SettingsTree copy = tree; // loading marks the preset as last named: not wanted here
    const std::optional<DevicePreset> preset = loadDevicePreset(copy, last);
    if (preset && presetMatches(*preset, state_, setup_.inputNames, setup_.outputNames)) {
        presets_->setCurrentIndex(presets_->findText(text(last), Qt::MatchFixedString));
    }
}

void MidiDevicesDialog::loadPreset(const QString& name) {
    SettingsTree copy = store_.read(); // "LastNamedPreset" is written on OK only
    const std::optional<DevicePreset> preset = loadDevicePreset(copy, name.toStdString());
    if (!preset) {
        return;
    }
    selectInputs(state_, {}, false);
    selectOutputs(state_, {}, false, SelectedBy::User);
    state_.portDataMap.clear();
    const PresetRouting routing = presetRouting(*preset, setup_.inputNames, setup_.outputNames);
    selectInputs(state_, routing.inputs, false);
    for (const auto& [output, map] : routing.outputMaps) {
        state_.outputMaps[output] = map;
    }
    selectOutputs(state_, routing.outputs, false, SelectedBy::Program);
    for (const StoredRouteMap& map : routing.routeMaps) {
        state_.portDataMap.add(map.outputPosition, map.inputPosition, map.path);
    }
    selectListed(inputs_, state_.inputs);
    selectListed(outputs_, state_.outputs);
    rebuildTrees();
}

void MidiDevicesDialog::savePreset() {
    const std::string name = presets_->currentText().trimmed().toStdString();
    if (name.empty()) {
        return;
    }
    if (std::optional<std::string> existing = findDevicePreset(store_.read(), name)) {
        if (!askOverwrite_(QString::asprintf("Overwrite Preset: '%s'?", existing->c_str()))) {
            return;
        }
    }
    const DevicePreset preset = devicePresetOf(state_, setup_.inputNames, setup_.outputNames);
    if (!store_.update([&](SettingsTree& tree) {
            saveDevicePreset(tree, name, preset);
            return true;
        })) {
        QMessageBox::warning(this, windowTitle(), tr("The preset could not be saved."));
        return;
    }
    if (presets_->findText(text(name), Qt::MatchFixedString) < 0) {
        presets_->addItem(text(name));
    }
    presets_->setCurrentIndex(presets_->findText(text(name), Qt::MatchFixedString));
}

void MidiDevicesDialog::deletePreset() {
    const QString name = presets_->currentText().trimmed();
    bool deleted = false;
    store_.update([&](SettingsTree& tree) {
        deleted = deleteDevicePreset(tree, name.toStdString());
        return deleted;
    });
    const int row = presets_->findText(name, Qt::MatchFixedString);
    if (row >= 0) {
        presets_->removeItem(row);
    }
    presets_->setCurrentIndex(-1);
    presets_->setEditText({});
}

void MidiDevicesDialog::accept() {
    setup_.routing = state_;
    setup_.autoAttach = autoAttach_->isChecked();
    const QString preset = presets_->currentText().trimmed();
    setup_.presetName = presets_->findText(preset, Qt::MatchFixedString) >= 0 ? preset.toStdString()
                                                                              : std::string();
    QDialog::accept();
}

} // namespace corvex
