#include "mapping/ui/filter_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvex {

namespace {

Qt::CheckState checkStateOf(BoxState state) {
    switch (state) {
    case BoxState::Checked:
        return Qt::Checked;
    case BoxState::Partial:
        return Qt::PartiallyChecked;
    case BoxState::Unchecked:
        break;
    }
    return Qt::Unchecked;
}

QCheckBox* boundBox(const QString& caption, bool on, std::function<void(bool)> changed) {
    auto* box = new QCheckBox(caption);
    box->setChecked(on);
    QObject::connect(box, &QCheckBox::toggled, box, std::move(changed));
    return box;
}

} // namespace

FilterDialog::FilterDialog(const CFilter& filter, std::function<void(const CFilter&)> apply,
                           QWidget* parent)
    : QDialog(parent), editor_(filter), apply_(std::move(apply)) {
    setWindowTitle(tr("Filter"));
    setObjectName("FilterDialog");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Place a checkmark to filter an item from Display:")));

    auto* columns = new QHBoxLayout;
    auto* types = new QGroupBox(tr("Messages"));
    auto* typeLayout = new QGridLayout(types);
    // In bit order: Control Change stands between Key Aftertouch and Program Change, the
    // system groups follow Pitch Bend.
    int row = 0;
    for (const FilterBit& bit : filterMessageTypeBoxes()) {
        const uint32_t mask = bit.mask;
        auto* box = boundBox(QString::fromUtf8(bit.caption), editor_.messageType(mask),
                             [this, mask](bool on) { editor_.setMessageType(mask, on); });
        box->setObjectName(QString::fromUtf8(bit.caption).remove('&'));
        row += mask == CVX_FILTER_PROGRAM_CHANGE ? 1 : 0; // the Control Change row
        typeLayout->addWidget(box, row++, 0);
    }
    const int groupRows[] = {3, row, row + 1};
    const struct {
        FilterGroup group;
        const char* caption;
    } groupBoxes[] = {{FilterGroup::Controllers, "&Control Change"},
                      {FilterGroup::SystemCommon, "&System Common"},
                      {FilterGroup::SystemRealtime, "System &Realtime"}};
    for (const auto& entry : groupBoxes) {
        const FilterGroup group = entry.group;
        auto* box = new QCheckBox(tr(entry.caption));
        box->setObjectName(QString::fromUtf8(entry.caption).remove('&'));
        box->setTristate(true);
        groups_[index(group)] = box;
        showGroup(group);
        connect(box, &QCheckBox::clicked, this, [this, group] { clickGroup(group); });
        auto* more = new QPushButton(tr("..."));
        more->setMaximumWidth(32);
        connect(more, &QPushButton::clicked, this, [this, group] { editGroup(group); });
        typeLayout->addWidget(box, groupRows[index(group)], 0);
        typeLayout->addWidget(more, groupRows[index(group)], 1);
    }
    columns->addWidget(types);

    auto* channels = new QGroupBox(tr("Channels"));
    auto* channelLayout = new QGridLayout(channels);
    std::array<QCheckBox*, 16> channelBoxes{};
    for (int channel = 0; channel < 16; ++channel) {
        const QString caption =
            channel < 9 ? QString("&%1").arg(channel + 1) : QString("1&%1").arg(channel - 9);
        channelBoxes[static_cast<size_t>(channel)] =
            boundBox(caption, editor_.channel(channel),
                     [this, channel](bool on) { editor_.setChannel(channel, on); });
        channelLayout->addWidget(channelBoxes[static_cast<size_t>(channel)], channel % 8,
                                 channel / 8);
    }
    auto* all = new QPushButton(tr("A&ll"));
    auto* none = new QPushButton(tr("&None"));
    auto setAll = [channelBoxes](bool on) {
        for (QCheckBox* box : channelBoxes) {
            box->setChecked(on);
        }
    };
    connect(all, &QPushButton::clicked, this, [setAll] { setAll(true); });
    connect(none, &QPushButton::clicked, this, [setAll] { setAll(false); });
    channelLayout->addWidget(all, 8, 0);
    channelLayout->addWidget(none, 8, 1);
    columns->addWidget(channels);
    layout->addLayout(columns);

    auto* dataBox =
        boundBox(tr("&Filter out Data as well as Display"), editor_.dataAsWellAsDisplay(),
                 [this](bool on) { editor_.setDataAsWellAsDisplay(on); });
    dataBox->setObjectName("FilterData");
    auto* monitor = boundBox(tr("Apply Filter to &Input Monitor too"), editor_.inputMonitorToo(),
                             [this](bool on) { editor_.setInputMonitorToo(on); });
    auto* sysex = boundBox(tr("&Display SysEx messages in Monitors"), editor_.displaySysEx(),
                           [this](bool on) { editor_.setDisplaySysEx(on); });
    layout->addWidget(dataBox);
    layout->addWidget(monitor);
    layout->addWidget(sysex);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::Apply);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        applyNow();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            &FilterDialog::applyNow);
    layout->addWidget(buttons);
}

void FilterDialog::applyNow() {
    if (apply_) {
        apply_(editor_.result());
    }
}

void FilterDialog::showGroup(FilterGroup group) {
    groups_[index(group)]->setCheckState(checkStateOf(editor_.box(group)));
}

void FilterDialog::clickGroup(FilterGroup group) {
    if (editor_.clickGroup(group)) {
        editGroup(group);
        return;
    }
    showGroup(group);
}

void FilterDialog::editGroup(FilterGroup group) {
    QStringList entries;
    std::vector<bool> selected;
    for (int entry = 0; entry < editor_.entryCount(group); ++entry) {
        entries << QString::fromStdString(
            group == FilterGroup::Controllers
                ? controllerEntryName(entry)
                : std::string((group == FilterGroup::SystemCommon
                                   ? systemCommonEntries()
                                   : systemRealtimeEntries())[static_cast<size_t>(entry)]
                                  .caption));
        selected.push_back(editor_.entry(group, entry));
    }
    const bool controllers = group == FilterGroup::Controllers;
    const QString title = controllers                          ? tr("Filter Controllers")
                          : group == FilterGroup::SystemCommon ? tr("Filter System Common")
                                                               : tr("Filter System Realtime ");
    FilterListDialog list(title,
                          controllers ? tr("&Select controllers to filter:")
                                      : tr("&Select messages to filter:"),
                          entries, selected, this);
    if (list.exec() == QDialog::Accepted) {
        const std::vector<bool> chosen = list.selection();
        const std::unique_ptr<bool[]> bits(new bool[chosen.size()]);
        std::copy(chosen.begin(), chosen.end(), bits.get());
        editor_.setEntries(group, std::span<const bool>(bits.get(), chosen.size()));
    }
    showGroup(group);
}

FilterListDialog::FilterListDialog(const QString& title, const QString& prompt,
                                   const QStringList& entries, const std::vector<bool>& selected,
                                   QWidget* parent)
    : QDialog(parent), list_(new QListWidget) {
    setWindowTitle(title);
    setObjectName("FilterListDialog");
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt);
    label->setBuddy(list_);
    layout->addWidget(label);
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->addItems(entries);
    for (int row = 0; row < list_->count(); ++row) {
        list_->item(row)->setSelected(selected[static_cast<size_t>(row)]);
    }
    layout->addWidget(list_);
    auto* row = new QHBoxLayout;
    auto* all = new QPushButton(tr("&All"));
    auto* none = new QPushButton(tr("&None"));
    connect(all, &QPushButton::clicked, list_, &QListWidget::selectAll);
    connect(none, &QPushButton::clicked, list_, &QListWidget::clearSelection);
    row->addWidget(all);
    row->addWidget(none);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::vector<bool> FilterListDialog::selection() const {
    std::vector<bool> selected;
    for (int row = 0; row < list_->count(); ++row) {
        selected.push_back(list_->item(row)->isSelected());
    }
    return selected;
}

} // namespace corvex
