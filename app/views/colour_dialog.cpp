#include "views/colour_dialog.h"

#include "views/scheme_colours.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace corvex {

namespace {

// The list row chosen when the dialog was last used, restored on the next opening.
int lastSelection = 0;

constexpr int customPictureMode = 3;

} // namespace

ColourDialog::ColourDialog(const ColourScheme& colours, const ColourScheme& defaults,
                           const BackgroundPicture& picture, ApplyColours applyColours,
                           ApplyPicture applyPicture, QWidget* parent)
    : QDialog(parent), working_(colours), undo_(colours), defaults_(defaults), picture_(picture),
      undoPicture_(picture), applyColours_(std::move(applyColours)),
      applyPicture_(std::move(applyPicture)) {
    setWindowTitle(tr("Colors"));
    setObjectName("OURCOLOR");

    list_ = new QListWidget(this);
    for (const std::string_view name : kColourNames) {
        list_->addItem(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    }
    swatch_ = new QFrame(this);
    swatch_->setObjectName("swatch709");
    swatch_->setFrameShape(QFrame::Box);
    swatch_->setMinimumSize(64, 32);
    swatch_->setAutoFillBackground(true);

    auto* change = new QPushButton(tr("&Change Color..."), this);
    auto* reset = new QPushButton(tr("&Reset Defaults"), this);

    auto* pictureBox = new QGroupBox(tr("Background"), this);
    auto* pictureLayout = new QVBoxLayout(pictureBox);
    pictureButtons_ = new QButtonGroup(this);
    const std::array<QString, 4> pictureNames = {tr("&None"), tr("&Default1"), tr("De&fault2"),
                                                 tr("C&ustom")};
    for (int mode = 0; mode < static_cast<int>(pictureNames.size()); ++mode) {
        auto* button = new QRadioButton(pictureNames[static_cast<size_t>(mode)], pictureBox);
        button->setObjectName(QStringLiteral("picture%1").arg(503 + mode));
        pictureButtons_->addButton(button, mode);
        pictureLayout->addWidget(button);
    }
    if (QAbstractButton* current = pictureButtons_->button(picture_.mode)) {
        current->setChecked(true);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* side = new QVBoxLayout;
    side->addWidget(swatch_);
    side->addWidget(change);
    side->addWidget(reset);
    side->addWidget(pictureBox);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(list_, 1);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    applyTimer_ = new QTimer(this);
    applyTimer_->setSingleShot(true);
    applyTimer_->setInterval(applyDelayMs);

    connect(list_, &QListWidget::currentRowChanged, this, [this] { showSwatch(); });
    connect(change, &QPushButton::clicked, this, &ColourDialog::changeColour);
    connect(reset, &QPushButton::clicked, this, &ColourDialog::resetDefaults);
    connect(pictureButtons_, &QButtonGroup::idClicked, this, &ColourDialog::setPictureMode);
    connect(applyTimer_, &QTimer::timeout, this, &ColourDialog::applyColoursNow);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this] { lastSelection = selectedItem(); });

    selectItem(lastSelection);
}

int ColourDialog::selectedItem() const {
    return std::max(list_->currentRow(), 0);
}

void ColourDialog::selectItem(int index) {
    list_->setCurrentRow(std::clamp(index, 0, static_cast<int>(kColourCount) - 1));
    showSwatch();
}

void ColourDialog::showSwatch() {
    QPalette palette = swatch_->palette();
    palette.setColor(QPalette::Window, toQColor(working_[static_cast<size_t>(selectedItem())]));
    swatch_->setPalette(palette);
}

void ColourDialog::changeColour() {
    if (picker_ != nullptr) {
        return;
    }
    const auto item = static_cast<size_t>(selectedItem());
    const Colour before = working_[item];
    picker_ = new QColorDialog(toQColor(before), this);
    picker_->setWindowTitle(tr("Color - %1").arg(list_->item(static_cast<int>(item))->text()));
    connect(picker_, &QColorDialog::currentColorChanged, this, [this, item](const QColor& colour) {
        working_[item] = fromQColor(colour);
        showSwatch();
        applyTimer_->start();
    });
    connect(picker_, &QColorDialog::colorSelected, this,
            [this, item](const QColor& colour) { working_[item] = fromQColor(colour); });
    connect(picker_, &QDialog::rejected, this, [this, item, before] {
        working_[item] = before;
        applyTimer_->start();
    });
    connect(picker_, &QDialog::finished, this, [this] {
        showSwatch();
        picker_->deleteLater();
        picker_ = nullptr;
    });
    picker_->open();
}

void ColourDialog::resetDefaults() {
    working_ = defaults_;
    showSwatch();
    applyColoursNow();
}

void ColourDialog::applyColoursNow() {
    applyTimer_->stop();
    if (applyColours_) {
        applyColours_(working_);
    }
}

void ColourDialog::setPictureMode(int mode) {
    const int previous = picture_.mode;
    if (mode == customPictureMode) {
        choosePictureFile(previous);
        return;
    }
    picture_.mode = mode;
    if (applyPicture_) {
        applyPicture_(picture_);
    }
}

void ColourDialog::choosePictureFile(int previousMode) {
    auto* files = new QFileDialog(this, tr("Background Picture"),
                                  QFileInfo(QString::fromStdString(picture_.customPath)).path(),
                                  tr("Bitmap (*.bmp *.dib)"));
    files->setFileMode(QFileDialog::ExistingFile);
    connect(files, &QFileDialog::fileSelected, this, [this](const QString& path) {
        picture_.mode = customPictureMode;
        picture_.customPath = path.toStdString();
        if (applyPicture_) {
            applyPicture_(picture_);
        }
    });
    connect(files, &QDialog::rejected, this, [this, previousMode] {
        if (QAbstractButton* previous = pictureButtons_->button(previousMode)) {
            previous->setChecked(true);
        }
    });
    connect(files, &QDialog::finished, files, &QObject::deleteLater);
    files->open();
}

void ColourDialog::accept() {
    if (applyTimer_->isActive()) {
        applyColoursNow();
    }
    QDialog::accept();
}

void ColourDialog::reject() {
    applyTimer_->stop();
    working_ = undo_;
    if (applyColours_) {
        applyColours_(undo_);
    }
    if (picture_ != undoPicture_) {
        picture_ = undoPicture_;
        if (applyPicture_) {
            applyPicture_(picture_);
        }
    }
    QDialog::reject();
}

} // namespace corvex
