#include "mapping/ui/define_mapping_dialog.h"

#include "mapping/map_message_types.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace corvex {

namespace {

// A spin box that takes a typed number outside its range as the nearest end of the range,
// with a beep, at once (a plain spin box refuses the keystroke and leaves a different
// number standing).
class ClampingSpinBox : public QSpinBox {
protected:
    QValidator::State validate(QString& input, int& pos) const override {
        QString number = input;
        number.remove(0, prefix().size()).chop(suffix().size());
        bool ok = false;
        const int value = number.trimmed().toInt(&ok);
        if (ok && (value < minimum() || value > maximum())) {
            QApplication::beep();
            input = prefix() + QString::number(std::clamp(value, minimum(), maximum())) + suffix();
            pos = static_cast<int>(input.size() - suffix().size());
            return QValidator::Acceptable;
        }
        return QSpinBox::validate(input, pos);
    }
};

// -1 stands for `wildcard` ("Any" on the input side, the input's value on the output side).
QSpinBox* valueBox(const QString& name, const QString& wildcard) {
    auto* box = new ClampingSpinBox;
    box->setObjectName(name);
    box->setRange(-1, 16383);
    box->setSpecialValueText(wildcard);
    box->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    return box;
}

} // namespace

DefineMappingDialog::Side DefineMappingDialog::makeSide(const QString& channelCaption,
                                                        const QString& typeCaption, bool output,
                                                        QGridLayout* grid, int column) {
    Side side{};
    const QString prefix = output ? "out" : "in";
    side.channel = new QComboBox;
    side.channel->setObjectName(prefix + "Channel");
    side.channel->addItem(output ? tr("Match Input") : tr("Any"));
    for (int channel = 1; channel <= 16; ++channel) {
        side.channel->addItem(QString("%1").arg(channel, 2));
    }
    side.type = new QComboBox;
    side.type->setObjectName(prefix + "Type");
    side.type->addItem(output ? tr("Match Input") : tr("Any"), MAP_ANY);
    for (uint8_t type = 1; type <= 15; ++type) {
        if (output || isSourceType(type)) {
            side.type->addItem(
                QString::fromUtf8(mapMessageName(type).data(),
                                  static_cast<qsizetype>(mapMessageName(type).size())),
                type);
        }
    }
    auto* channelLabel = new QLabel(channelCaption);
    channelLabel->setBuddy(side.channel);
    auto* typeLabel = new QLabel(typeCaption);
    typeLabel->setBuddy(side.type);
    grid->addWidget(channelLabel, 0, column);
    grid->addWidget(side.channel, 0, column + 1, 1, 4);
    grid->addWidget(typeLabel, 1, column);
    grid->addWidget(side.type, 1, column + 1, 1, 4);
    side.value1 = new QLabel;
    side.value2 = new QLabel;
    grid->addWidget(side.value1, 2, column);
    grid->addWidget(side.value2, 3, column);
    // Each number has its "Min" or "Max" label before it; the input side's have keys.
    const char* captions[] = {"&Min", "M&ax", "M&in", "Ma&x"};
    for (int field = 0; field < 4; ++field) {
        QSpinBox* box = valueBox(prefix + QString::number(field), output ? tr("Input") : tr("Any"));
        side.values[static_cast<size_t>(field)] = box;
        auto* label = new QLabel(output ? QString::fromUtf8(captions[field]).remove('&')
                                        : tr(captions[field]));
        label->setBuddy(box);
        side.bounds[static_cast<size_t>(field)] = label;
        const int at = column + 1 + 2 * (field % 2);
        grid->addWidget(label, 2 + field / 2, at);
        grid->addWidget(box, 2 + field / 2, at + 1);
    }
    connect(side.type, &QComboBox::currentIndexChanged, this, [this] { followTypes(); });
    return side;
}

DefineMappingDialog::DefineMappingDialog(const MapEditorRow& row, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Define Mapping"));
    setObjectName("DefineMappingDialog");
    auto* layout = new QVBoxLayout(this);
    auto* inputBox = new QGroupBox(tr("Input"));
    auto* inputGrid = new QGridLayout(inputBox);
    in_ = makeSide(tr("&Channel"), tr("&Event Type"), false, inputGrid, 0);
    clone_ = new QCheckBox(tr("&Pass original value on (Clone)"));
    inputGrid->addWidget(clone_, 4, 0, 1, 5);
    auto* outputBox = new QGroupBox(tr("Output"));
    auto* outputGrid = new QGridLayout(outputBox);
    out_ = makeSide(tr("C&hannel"), tr("E&vent Type"), true, outputGrid, 0);
    pull2_ = new QCheckBox(tr("&Use input value 2 (Pull)"));
    pull1_ = new QCheckBox(tr("U&se input value 1 (Pull)"));
    outputGrid->addWidget(pull2_, 4, 0, 1, 5);
    outputGrid->addWidget(pull1_, 5, 0, 1, 5);
    auto* delayLabel = new QLabel(tr("&Delay (ms):"));
    delay_ = new ClampingSpinBox;
    delay_->setObjectName("delay");
    delay_->setRange(0, 1023);
    delay_->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    delayLabel->setBuddy(delay_);
    outputGrid->addWidget(delayLabel, 6, 0);
    outputGrid->addWidget(delay_, 6, 1, 1, 2);
    sysexLabel_ = new QLabel(tr("Enter SysEx message (2 digit Hex Bytes)"));
    sysex_ = new QLineEdit;
    sysex_->setObjectName("sysex");
    sysex_->setMaxLength(3067);
    outputGrid->addWidget(sysexLabel_, 7, 0, 1, 5);
    outputGrid->addWidget(sysex_, 8, 0, 1, 5);
    layout->addWidget(inputBox);
    layout->addWidget(outputBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (rowOfForm(form()).clamped) {
            QApplication::beep();
        }
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setForm(formOfRow(row));
}

uint8_t DefineMappingDialog::typeOf(const Side& side) const {
    return static_cast<uint8_t>(side.type->currentData().toUInt());
}

void DefineMappingDialog::followTypes() {
    const uint8_t in = typeOf(in_);
    const uint8_t out = typeOf(out_);
    const bool inTransport = in == MAP_START || in == MAP_CONT || in == MAP_STOP;
    const bool outTransport = out == MAP_START || out == MAP_CONT || out == MAP_STOP;
    const bool outNoValues = out == MAP_SYSEX || out == MAP_DISCARD;
    in_.channel->setEnabled(in != MAP_SPP && !inTransport);
    out_.channel->setEnabled(out != MAP_SPP && !outTransport && out != MAP_SYSEX);
    if (out == MAP_SYSEX) {
        out_.channel->setCurrentIndex(0);
    }
    const ValueLabels inLabels = valueLabels(in);
    const ValueLabels outLabels = valueLabels(out == MAP_ANY ? in : out);
    in_.value1->setText(inLabels.value1);
    in_.value2->setText(inLabels.value2);
    out_.value1->setText(outLabels.value1);
    out_.value2->setText(outLabels.value2);
    for (QSpinBox* box : in_.values) {
        box->setEnabled(!inTransport);
        box->setMaximum(valueMaximum(in));
    }
    for (QSpinBox* box : out_.values) {
        box->setEnabled(!outTransport);
        box->setVisible(!outNoValues);
        box->setMaximum(valueMaximum(out == MAP_ANY ? in : out));
    }
    for (QLabel* label : out_.bounds) {
        label->setVisible(!outNoValues);
    }
    out_.value1->setVisible(!outNoValues);
    out_.value2->setVisible(!outNoValues);
    for (QCheckBox* pull : {pull1_, pull2_}) {
        pull->setEnabled(!outTransport);
        pull->setVisible(!outNoValues);
    }
    delay_->setVisible(!outNoValues);
    sysexLabel_->setVisible(out == MAP_SYSEX);
    sysex_->setVisible(out == MAP_SYSEX);
}

MapRowForm DefineMappingDialog::form() const {
    MapRowForm form;
    form.sourceChannel = in_.channel->currentIndex();
    form.sourceMessage = typeOf(in_);
    form.targetChannel = out_.channel->currentIndex();
    form.targetMessage = typeOf(out_);
    for (size_t field = 0; field < 4; ++field) {
        // The typed text counts, not only what the spin box accepted so far.
        bool ok = false;
        const int in = in_.values[field]->cleanText().toInt(&ok);
        form.sourceValues[field] = ok ? in : in_.values[field]->value();
        const int out = out_.values[field]->cleanText().toInt(&ok);
        form.targetValues[field] = ok ? out : out_.values[field]->value();
    }
    form.clone = clone_->isChecked();
    form.pullValue1 = pull1_->isChecked();
    form.pullValue2 = pull2_->isChecked();
    bool ok = false;
    const int delay = delay_->cleanText().toInt(&ok);
    form.delay = ok ? delay : delay_->value();
    form.sysexText = sysex_->text().toStdString();
    return form;
}

MapEditorRow DefineMappingDialog::row() const {
    return rowOfForm(form()).row;
}

void DefineMappingDialog::setForm(const MapRowForm& form) {
    in_.channel->setCurrentIndex(form.sourceChannel);
    in_.type->setCurrentIndex(std::max(0, in_.type->findData(form.sourceMessage)));
    out_.channel->setCurrentIndex(form.targetChannel);
    out_.type->setCurrentIndex(std::max(0, out_.type->findData(form.targetMessage)));
    followTypes();
    for (size_t field = 0; field < 4; ++field) {
        in_.values[field]->setValue(form.sourceValues[field]);
        out_.values[field]->setValue(form.targetValues[field]);
    }
    clone_->setChecked(form.clone);
    pull1_->setChecked(form.pullValue1);
    pull2_->setChecked(form.pullValue2);
    delay_->setValue(form.delay);
    sysex_->setText(QString::fromStdString(form.sysexText));
}

} // namespace corvex
