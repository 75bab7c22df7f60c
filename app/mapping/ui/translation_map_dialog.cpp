#include "mapping/ui/translation_map_dialog.h"

#include "mapping/ascii_map_file.h"
#include "mapping/binary_map_file.h"
#include "mapping/map_file_loader.h"
#include "mapping/map_listing.h"
#include "mapping/ui/define_mapping_dialog.h"
#include "mapping/ui/map_row_view.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <span>

namespace corvex {

namespace {

// The Load dialog's filters in order: the second reads binary, the third text, the others
// go by the file's extension. The Save dialog's: binary, then text.
const char* const kLoadFilters[] = {"All Corvex (*.vxm *.txm)", "Corvex Map (*.vxm)",
                                    "Corvex ASCII Map (*.txm)", "All Files (*)"};
const char* const kSaveFilters[] = {"Corvex Map (*.vxm)", "Corvex ASCII Map (*.txm)"};

QStringList filterList(std::span<const char* const> filters) {
    QStringList list;
    for (const char* filter : filters) {
        list << QString::fromUtf8(filter);
    }
    return list;
}
constexpr size_t kListingHeaderLines = 2; // title and column header

void showMapResult(QWidget* parent, const MapFileResult& result) {
    const std::string text = result.message.empty() ? result.problemText()
                                                    : result.message + "\n" + result.problemText();
    if (!result.message.empty() || !result.problems.empty()) {
        QMessageBox::warning(parent, QObject::tr("Translation Map"), QString::fromStdString(text));
    }
}

bool isMapFile(const QString& path) {
    return path.endsWith(".vxm", Qt::CaseInsensitive) || path.endsWith(".txm", Qt::CaseInsensitive);
}

} // namespace

TranslationMapDialog::TranslationMapDialog(const DataMap& map,
                                           std::function<bool(const DataMap&)> accept,
                                           QWidget* parent)
    : QDialog(parent), editor_(map), accept_(std::move(accept)), list_(new QListWidget) {
    setWindowTitle(tr("Translation Map"));
    setObjectName("TranslationMapDialog");
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    list_->setObjectName("mapRows");
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->setItemDelegate(new MapRowDelegate(
        [this](int index) {
            return index >= 0 && static_cast<size_t>(index) < editor_.rows().size()
                       ? &editor_.rows()[static_cast<size_t>(index)]
                       : nullptr;
        },
        list_));
    auto* header = new MapRowHeader(list_->frameWidth());
    header->setFont(list_->font());
    list_->setMinimumWidth(header->sizeHint().width() + 2 * list_->frameWidth() + 24);
    list_->setMinimumHeight(12 * QFontMetrics(list_->font()).height());
    connect(list_, &QListWidget::customContextMenuRequested, this,
            &TranslationMapDialog::showContextMenu);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { editRow(); });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { editor_.select(row); });
    layout->addWidget(header);
    layout->addWidget(list_);

    mapOn_ = new QCheckBox(tr("Turn Map &On (after OK)"));
    mapOn_->setObjectName("mapOn");
    keys_ = new QCheckBox(tr("Turn On Computer Piano &Keys Mapping (after OK)"));
    const struct {
        const char* caption;
        uint16_t bit;
    } optionBoxes[] = {{"&Wait for complete NRPN Data Entry (Ctrl 38)", MAP_WAIT_FOR_FULL_NRPN},
                       {"&Map NRPN Data Increments (Ctrl 96,97)", MAP_NRPN_DATA_INCR},
                       {"Send &Full NRPN (4 MIDI messages)", MAP_SEND_FULL_NRPN},
                       {"&Reverse Data Entry (Ctrl 38, 6)", MAP_REVERSE_DATA_ENTRY}};
    auto* boxes = new QGridLayout;
    boxes->addWidget(mapOn_, 0, 0);
    boxes->addWidget(keys_, 1, 0);
    int row = 0;
    for (const auto& option : optionBoxes) {
        auto* box = new QCheckBox(tr(option.caption));
        options_.emplace_back(box, option.bit);
        boxes->addWidget(box, row++, 1);
        connect(box, &QCheckBox::toggled, this, [this] { readBoxes(); });
    }
    layout->addLayout(boxes);

    auto* commands = new QHBoxLayout;
    auto button = [this, commands](const QString& caption, auto slot) {
        auto* b = new QPushButton(caption);
        b->setObjectName(QString(caption).remove('&').remove('.'));
        connect(b, &QPushButton::clicked, this, slot);
        commands->addWidget(b);
        return b;
    };
    button(tr("&Insert..."), [this] { insertRow(); });
    needRows_.push_back(button(tr("&Edit..."), [this] { editRow(); }));
    needRows_.push_back(button(tr("&Delete"), [this] {
        editor_.removeSelected();
        refresh();
    }));
    needRows_.push_back(button(tr("&Clear"), [this] {
        editor_.clear();
        refresh();
    }));
    button(QString::fromUtf8("\u2191"), [this] {
        editor_.moveUp();
        refresh();
    });
    button(QString::fromUtf8("\u2193"), [this] {
        editor_.moveDown();
        refresh();
    });
    button(tr("&Load..."), [this] { askLoad(); });
    needRows_.push_back(button(tr("&Save..."), [this] { askSave(); }));
    button(tr("Open Text Map in Editor..."), [this] { askTextMap(); });
    needRows_.push_back(mapOn_);
    needRows_.push_back(keys_);
    layout->addLayout(commands);

    const struct {
        QKeySequence keys;
        void (MapEditor::*operation)();
    } shortcuts[] = {{Qt::Key_Delete, &MapEditor::removeSelected},
                     {QKeySequence::Cut, &MapEditor::cutSelected},
                     {Qt::SHIFT | Qt::Key_Delete, &MapEditor::cutSelected},
                     {QKeySequence::Copy, &MapEditor::copySelected},
                     {Qt::CTRL | Qt::Key_Insert, &MapEditor::copySelected},
                     {QKeySequence::Paste, &MapEditor::paste},
                     {Qt::SHIFT | Qt::Key_Insert, &MapEditor::paste},
                     {Qt::CTRL | Qt::Key_Up, &MapEditor::moveUp},
                     {Qt::CTRL | Qt::Key_Down, &MapEditor::moveDown}};
    for (const auto& shortcut : shortcuts) {
        auto* key = new QShortcut(shortcut.keys, list_);
        connect(key, &QShortcut::activated, this, [this, operation = shortcut.operation] {
            (editor_.*operation)();
            refresh();
        });
    }
    connect(new QShortcut(Qt::Key_Insert, list_), &QShortcut::activated, this,
            [this] { insertRow(); });
    connect(new QShortcut(Qt::Key_Return, list_), &QShortcut::activated, this,
            [this] { editRow(); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &TranslationMapDialog::finish);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    mapOn_->setChecked(editor_.isOn != 0);
    keys_->setChecked(editor_.keys != 0);
    refresh();
}

void TranslationMapDialog::refresh() {
    const QSignalBlocker blocker(list_);
    list_->clear();
    const std::vector<std::string> lines = mapListing(editor_.toMap());
    for (size_t row = 0; row < editor_.rows().size(); ++row) {
        // The listing line is the row's text for accessibility; the delegate draws the row.
        const size_t line = kListingHeaderLines + row;
        auto* item = new QListWidgetItem(line < lines.size() ? QString::fromStdString(lines[line])
                                                             : QString());
        if (const MapEditorRow& shown = editor_.rows()[row];
            shown.item.targetMessage == MAP_SYSEX) {
            item->setToolTip(QString::fromStdString(shown.sysexText));
        }
        list_->addItem(item);
    }
    list_->setCurrentRow(editor_.selected());
    for (QWidget* widget : needRows_) {
        widget->setEnabled(!editor_.rows().empty());
    }
    for (auto& [box, bit] : options_) {
        const QSignalBlocker boxBlocker(box);
        box->setChecked((editor_.options & bit) != 0);
    }
    options_[3].first->setEnabled(options_[2].first->isChecked());
}

void TranslationMapDialog::readBoxes() {
    for (auto& [box, bit] : options_) {
        editor_.options = static_cast<uint16_t>(box->isChecked() ? editor_.options | bit
                                                                 : editor_.options & ~bit);
    }
    editor_.isOn = mapOn_->isChecked() ? 1 : 0;
    editor_.keys = keys_->isChecked() ? 1 : 0;
    options_[3].first->setEnabled(options_[2].first->isChecked());
}

// Define Mapping opens beside the row it edits (or the top of the list), on the screen.
void TranslationMapDialog::placeBesideRow(QWidget& dialog) const {
    dialog.adjustSize();
    const QListWidgetItem* item = list_->currentItem();
    const QRect row = item != nullptr ? list_->visualItemRect(item) : QRect(0, 0, 0, 0);
    QPoint at = list_->viewport()->mapToGlobal(QPoint(row.left() + 48, row.bottom() + 4));
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(
            std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - dialog.width())));
        at.setY(
            std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - dialog.height())));
    }
    dialog.move(at);
}

void TranslationMapDialog::insertRow() {
    DefineMappingDialog dialog(newMapRow(), this);
    placeBesideRow(dialog);
    if (dialog.exec() == QDialog::Accepted) {
        editor_.insert(dialog.row());
        refresh();
    }
}

void TranslationMapDialog::editRow() {
    if (editor_.selected() < 0) {
        return;
    }
    DefineMappingDialog dialog(editor_.rows()[static_cast<size_t>(editor_.selected())], this);
    placeBesideRow(dialog);
    if (dialog.exec() == QDialog::Accepted) {
        editor_.replaceSelected(dialog.row());
        refresh();
    }
}

void TranslationMapDialog::showContextMenu(const QPoint& at) {
    QMenu menu(this);
    const bool rows = !editor_.rows().empty();
    auto entry = [&](const QString& caption, bool enabled, auto action) {
        QAction* item = menu.addAction(caption);
        item->setEnabled(enabled);
        connect(item, &QAction::triggered, this, [this, action] {
            action();
            refresh();
        });
    };
    entry(tr("&Edit...\tEnter"), rows, [this] { editRow(); });
    entry(tr("&Insert...\tIns"), true, [this] { insertRow(); });
    entry(tr("&Delete\tDel"), rows, [this] { editor_.removeSelected(); });
    entry(tr("Cu&t\tCtrl+X"), rows, [this] { editor_.cutSelected(); });
    entry(tr("&Copy\tCtrl+C"), rows, [this] { editor_.copySelected(); });
    entry(tr("&Paste\tCtrl+V"), true, [this] { editor_.paste(); });
    entry(tr("Move &Up"), rows, [this] { editor_.moveUp(); });
    entry(tr("Move D&own"), rows, [this] { editor_.moveDown(); });
    entry(tr("&Load..."), true, [this] { askLoad(); });
    entry(tr("&Save..."), rows, [this] { askSave(); });
    entry(tr("Clea&r"), rows, [this] { editor_.clear(); });
    menu.exec(list_->viewport()->mapToGlobal(at));
}

bool TranslationMapDialog::loadFile(const QString& path, bool append, MapFileFormat format) {
    readBoxes();
    DataMap map = editor_.toMap();
    const MapFileResult result = loadMapFile(map, path.toStdString(), format, append, false);
    showMapResult(this, result);
    if (result.ok) {
        map.isOn = editor_.isOn;
        map.keys = editor_.keys;
        editor_.refill(map);
    }
    refresh();
    return result.ok;
}

bool TranslationMapDialog::saveFile(const QString& path, MapFileFormat format) {
    readBoxes();
    const DataMap map = editor_.toMap();
    const std::string file = path.toStdString();
    const bool ascii =
        format == MapFileFormat::Ascii ||
        (format == MapFileFormat::ByExtension && path.endsWith(".txm", Qt::CaseInsensitive));
    const MapFileResult result = ascii ? writeAsciiMap(map, file) : writeBinaryMap(map, file);
    showMapResult(this, result);
    return result.ok;
}

void TranslationMapDialog::askLoad() {
    QFileDialog dialog(this, tr("Load Data Map"), folder_);
    dialog.setNameFilters(filterList(kLoadFilters));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* append = new QCheckBox(tr("&Append to Existing Map in Listbox"), &dialog);
    append->setChecked(appendMaps_);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addWidget(append, grid->rowCount(), 0, 1, -1);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    appendMaps_ = append->isChecked();
    folder_ = dialog.directory().absolutePath();
    const qsizetype filter = filterList(kLoadFilters).indexOf(dialog.selectedNameFilter());
    const MapFileFormat format = filter == 1   ? MapFileFormat::Binary
                                 : filter == 2 ? MapFileFormat::Ascii
                                               : MapFileFormat::ByExtension;
    loadFile(dialog.selectedFiles().first(), appendMaps_, format);
}

void TranslationMapDialog::askSave() {
    QFileDialog dialog(this, tr("Save Data Map"), folder_);
    dialog.setNameFilters(filterList(kSaveFilters));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    folder_ = dialog.directory().absolutePath();
    const bool ascii = dialog.selectedNameFilter() == QString::fromUtf8(kSaveFilters[1]);
    QString path = dialog.selectedFiles().first();
    const QString extension = ascii ? ".txm" : ".vxm";
    if (QFileInfo(path).suffix().isEmpty()) {
        path += extension;
    }
    saveFile(path, ascii ? MapFileFormat::Ascii : MapFileFormat::Binary);
}

void TranslationMapDialog::askTextMap() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Text Map in Editor"), folder_,
                                                      QString::fromUtf8(kLoadFilters[2]));
    if (!path.isEmpty()) {
        folder_ = QFileInfo(path).absolutePath();
        openInTextEditor(path);
    }
}

bool TranslationMapDialog::openInTextEditor(const QString& path) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        return true;
    }
    QMessageBox::warning(this, tr("Translation Map"),
                         tr("No text editor could be started for '%1'.").arg(path));
    return false;
}

void TranslationMapDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void TranslationMapDialog::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile() && isMapFile(url.toLocalFile())) {
            loadFile(url.toLocalFile(), false);
            event->acceptProposedAction();
            return;
        }
    }
}

void TranslationMapDialog::finish() {
    readBoxes();
    if (!accept_ || accept_(editor_.toMap())) {
        accept();
    }
}

} // namespace corvex
