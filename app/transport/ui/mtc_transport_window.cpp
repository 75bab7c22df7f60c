#include "transport/ui/mtc_transport_window.h"

#include "cvxlib.h"
#include "transport/time_word.h"
#include "transport/ui/transport_display.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvex {
namespace {

enum Button { kPlay, kPause, kStop, kRewind };

struct ButtonLook {
    const char* name;
    const char* label;
    QStyle::StandardPixmap icon;
};

constexpr ButtonLook kButtons[] = {{"play", "&Play", QStyle::SP_MediaPlay},
                                   {"pause", "Pa&use", QStyle::SP_MediaPause},
                                   {"stop", "&Stop", QStyle::SP_MediaStop},
                                   {"rewind", "&Rewind", QStyle::SP_MediaSkipBackward}};

constexpr const char* kRateCaptions[] = {"2&4 Fps", "2&5 Fps", "&30 Drop", "3&0 Fps"};

} // namespace

MtcTransportWindow::MtcTransportWindow(TransportEngine& engine, uint64_t client,
                                       const MtcSettings& settings, int receivedRateIndex,
                                       Finished finished, QWidget* owner)
    : QDialog(owner), transport_(engine, receivedRateIndex), client_(client),
      finished_(std::move(finished)),
      target_([this](uint32_t msg, uintptr_t wParam, intptr_t) { onMessage(msg, wParam); }) {
    setObjectName(QStringLiteral("MtcTransport"));
    setWindowTitle(QStringLiteral("MTC Transport"));
    setModal(false);
    buildControls();
    showSettings(settings);
    AttachMTC(client_, target_.hwnd());
    refresh();
}

MtcTransportWindow::~MtcTransportWindow() {
    finish();
}

void MtcTransportWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* receive = new QGroupBox(QStringLiteral("Receive"), this);
    auto* receiveLayout = new QVBoxLayout(receive);
    display_ = new TransportDisplay(receive);
    display_->setObjectName(QStringLiteral("display"));
    rateLabel_ = new QLabel(receive);
    rateLabel_->setObjectName(QStringLiteral("receivedRate"));
    rateLabel_->setAutoFillBackground(true);
    rateLabel_->setAlignment(Qt::AlignCenter);
    receiveLayout->addWidget(display_);
    receiveLayout->addWidget(rateLabel_);
    layout->addWidget(receive);
    layout->addWidget(buildTransmitGroup());
}

QWidget* MtcTransportWindow::buildTransmitGroup() {
    auto* transmit = new QGroupBox(QStringLiteral("Transmit"), this);
    auto* layout = new QVBoxLayout(transmit);
    auto* buttonRow = new QHBoxLayout;
    const std::function<void()> actions[] = {[this] { play(); }, [this] { pause(); },
                                             [this] { stop(); }, [this] { rewind(); }};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(transmit);
        button->setObjectName(QString::fromLatin1(kButtons[i].name));
        button->setText(QString::fromLatin1(kButtons[i].label));
        button->setIcon(style()->standardIcon(kButtons[i].icon));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        connect(button, &QToolButton::clicked, this, actions[i]);
        buttonRow->addWidget(button);
        buttons_[i] = button;
    }
    layout->addLayout(buttonRow);

    auto* form = new QFormLayout;
    location_ = new QLineEdit(transmit);
    location_->setObjectName(QStringLiteral("location"));
    connect(location_, &QLineEdit::editingFinished, this, &MtcTransportWindow::rewriteLocation);
    form->addRow(QStringLiteral("&Location:"), location_);
    accuracy_ = new QSpinBox(transmit);
    accuracy_->setObjectName(QStringLiteral("accuracy"));
    accuracy_->setRange(kLeastAccuracyMs, kMostAccuracyMs);
    form->addRow(QStringLiteral("&Accuracy (ms):"), accuracy_);
    layout->addLayout(form);

    auto* rateGroup = new QGroupBox(QStringLiteral("S&MPTE Rate"), transmit);
    auto* rateLayout = new QHBoxLayout(rateGroup);
    for (int i = 0; i < 4; ++i) {
        rates_[i] = new QRadioButton(QString::fromLatin1(kRateCaptions[i]), rateGroup);
        rates_[i]->setObjectName(QStringLiteral("rate%1").arg(i));
        connect(rates_[i], &QRadioButton::clicked, this, [this] {
            rewriteLocation();
            refresh();
        });
        rateLayout->addWidget(rates_[i]);
    }
    layout->addWidget(rateGroup);
    slow30_ = new QCheckBox(QStringLiteral("Use 2&9.97"), transmit);
    slow30_->setObjectName(QStringLiteral("slow30"));
    layout->addWidget(slow30_);
    return transmit;
}

void MtcTransportWindow::showSettings(const MtcSettings& settings) {
    const int rate = rateIndexOfStoredValue(settings.frameRate);
    rates_[rate]->setChecked(true);
    slow30_->setChecked(settings.slow30);
    location_->setText(QString::fromStdString(timeText(settings.offset | timeWord({}, rate))));
    accuracy_->setValue(settings.accuracyMs);
}

void MtcTransportWindow::setColours(const QColor& background, const QColor& text) {
    display_->setColours(background, text);
    QPalette palette = rateLabel_->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    rateLabel_->setPalette(palette);
}

int MtcTransportWindow::chosenRate() const {
    for (int i = 0; i < 4; ++i) {
        if (rates_[i]->isChecked()) {
            return i;
        }
    }
    return kRate30;
}

MtcControls MtcTransportWindow::controls() const {
    return {location_->text().toStdString(), accuracy_->value(), chosenRate(),
            slow30_->isChecked()};
}

// The location as the generator will take it, at the chosen rate.
void MtcTransportWindow::rewriteLocation() {
    const int rate = chosenRate();
    const uint32_t location = parseLocation(location_->text().toStdString(), rate);
    const QString text = QString::fromStdString(timeText(location | timeWord({}, rate)));
    if (text != location_->text()) {
        location_->setText(text);
    }
}

void MtcTransportWindow::play() {
    transport_.play(controls());
    refresh();
}

void MtcTransportWindow::pause() {
    transport_.pause();
    refresh();
}

void MtcTransportWindow::stop() {
    transport_.stop();
    refresh();
}

void MtcTransportWindow::rewind() {
    transport_.rewind(controls());
    refresh();
}

void MtcTransportWindow::setLocked(bool locked) {
    transport_.setLocked(locked);
    refresh();
}

void MtcTransportWindow::refresh() {
    const bool settings = transport_.settingControlsEnabled();
    location_->setEnabled(settings);
    accuracy_->setEnabled(settings);
    for (QRadioButton* rate : rates_) {
        rate->setEnabled(settings);
    }
    slow30_->setEnabled(settings && chosenRate() == kRate30);
    for (QToolButton* button : buttons_) {
        button->setEnabled(transport_.transportButtonsEnabled());
    }
    display_->setText(displayedTime());
    rateLabel_->setText(receivedRateText());
}

QString MtcTransportWindow::displayedTime() const {
    return QString::fromStdString(transport_.displayText());
}

QString MtcTransportWindow::receivedRateText() const {
    return QString::fromStdString(transport_.receivedRateLabel());
}

void MtcTransportWindow::onMessage(uint32_t msg, uintptr_t wParam) {
    if (msg != WM_CVX_MTC_TIME) {
        return;
    }
    if (transport_.receive(static_cast<uint32_t>(wParam))) {
        rateLabel_->setText(receivedRateText());
    }
    display_->setText(displayedTime());
}

void MtcTransportWindow::reject() {
    close();
}

void MtcTransportWindow::closeEvent(QCloseEvent* event) {
    if (!transport_.canClose()) {
        QApplication::beep();
        event->ignore();
        return;
    }
    finish();
    QWidget::closeEvent(event); // not QDialog's: it would reject(), which closes again
}

void MtcTransportWindow::finish() {
    if (finishedOnce_) {
        return;
    }
    finishedOnce_ = true;
    transport_.shutDown();
    DetachMTC(client_);
    if (finished_) {
        finished_(MtcTransport::settingsOf(controls()), transport_.receivedRateIndex());
    }
}

} // namespace corvex
