#include "transport/ui/sync_transport_window.h"

#include "cvxlib.h"
#include "transport/ui/transport_display.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvex {
namespace {

struct ButtonLook {
    const char* name;
    const char* label;
    const char* tip;
    QStyle::StandardPixmap icon;
};

constexpr ButtonLook kButtons[] = {
    {"rewind", "&Rewind", "Rewind to beginning", QStyle::SP_MediaSkipBackward},
    {"back", "&Back", "Move Back 1 Measure", QStyle::SP_MediaSeekBackward},
    {"play", "&Play", "Start (Continue) Play", QStyle::SP_MediaPlay},
    {"pause", "Pa&use", "Pause (Stop) Play  ", QStyle::SP_MediaPause},
    {"forward", "&Forward", "Move Forward 1 Measure", QStyle::SP_MediaSeekForward}};

void fillList(QComboBox* list, std::span<const int> values, int selected) {
    for (int value : values) {
        list->addItem(QString::number(value), value);
    }
    list->setCurrentIndex(list->findData(selected));
}

QSpinBox* spin(QWidget* parent, const char* name, int least, int most) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(least, most);
    return box;
}

} // namespace

SyncTransportWindow::SyncTransportWindow(TransportEngine& engine, MtcLink& link, uint64_t client,
                                         const SyncSettings& settings, Finished finished,
                                         QWidget* owner)
    : QDialog(owner), transport_(engine, link, settings), client_(client),
      finished_(std::move(finished)),
      target_([this](uint32_t msg, uintptr_t wParam, intptr_t lParam) {
          onMessage(msg, wParam, lParam);
      }) {
    setObjectName(QStringLiteral("SyncTransport"));
    setWindowTitle(QStringLiteral("MIDI Sync Transport"));
    setModal(false);
    buildControls();
    showSettings(transport_.settings());
    AttachSync(client_, target_.hwnd());
    refresh();
}

SyncTransportWindow::~SyncTransportWindow() {
    finish();
}

void SyncTransportWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* receive = new QGroupBox(QStringLiteral("Receive"), this);
    auto* receiveLayout = new QVBoxLayout(receive);
    display_ = new TransportDisplay(receive);
    display_->setObjectName(QStringLiteral("display"));
    tempoLabel_ = new QLabel(receive);
    tempoLabel_->setObjectName(QStringLiteral("receivedTempo"));
    tempoLabel_->setAutoFillBackground(true);
    tempoLabel_->setAlignment(Qt::AlignCenter);
    receiveLayout->addWidget(display_);
    receiveLayout->addWidget(tempoLabel_);
    layout->addWidget(receive);
    layout->addWidget(buildTransmitGroup());
    link_ = new QCheckBox(QStringLiteral("Sync and Send &MTC concurrently."), this);
    link_->setObjectName(QStringLiteral("linkMtc"));
    connect(link_, &QCheckBox::toggled, this, [this](bool on) {
        transport_.setLinked(on);
        activateWindow(); // the focus comes back from a newly opened MTC transport
        refresh();
    });
    layout->addWidget(link_);
}

QWidget* SyncTransportWindow::buildTransmitGroup() {
    auto* transmit = new QGroupBox(QStringLiteral("Transmit"), this);
    auto* layout = new QVBoxLayout(transmit);
    auto* buttonRow = new QHBoxLayout;
    const std::function<void()> actions[] = {
        [this] { transport_.rewind(); }, [this] { transport_.back(); },
        [this] { transport_.play(tempo_->value()); }, [this] { transport_.pause(); },
        [this] { transport_.forward(); }};
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        auto* button = new QToolButton(transmit);
        button->setObjectName(QString::fromLatin1(kButtons[i].name));
        button->setText(QString::fromLatin1(kButtons[i].label));
        button->setToolTip(QString::fromLatin1(kButtons[i].tip));
        button->setIcon(style()->standardIcon(kButtons[i].icon));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        connect(button, &QToolButton::clicked, this, [this, action = actions[i]] {
            action();
            refresh();
        });
        buttonRow->addWidget(button);
    }
    layout->addLayout(buttonRow);
    layout->addWidget(buildSettings(transmit));
    return transmit;
}

QWidget* SyncTransportWindow::buildSettings(QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* form = new QFormLayout;
    sendClock_ = new QCheckBox(QStringLiteral("&Send Clock"), box);
    sendClock_->setObjectName(QStringLiteral("sendClock"));
    connect(sendClock_, &QCheckBox::toggled, this, [this](bool on) {
        transport_.sendClock(on, tempo_->value());
        refresh();
    });
    form->addRow(sendClock_);
    accuracy_ = spin(box, "accuracy", 1, 10);
    form->addRow(QStringLiteral("&Accuracy (ms):"), accuracy_);
    tempo_ = spin(box, "tempo", kLeastTempo, kMostTempo);
    form->addRow(QStringLiteral("&Tempo (bpm):"), tempo_);
    timebase_ = new QComboBox(box);
    timebase_->setObjectName(QStringLiteral("timebase"));
    form->addRow(QStringLiteral("Time&base:"), timebase_);
    row->addLayout(form);

    auto* meter = new QGroupBox(QStringLiteral("Meter"), box);
    auto* meterForm = new QFormLayout(meter);
    meterTop_ = spin(meter, "meterTop", 1, 32);
    meterForm->addRow(QStringLiteral("T&op:"), meterTop_);
    meterBottom_ = new QComboBox(meter);
    meterBottom_->setObjectName(QStringLiteral("meterBottom"));
    meterForm->addRow(QStringLiteral("&Bottom:"), meterBottom_);
    row->addWidget(meter);
    return box;
}

void SyncTransportWindow::showSettings(const SyncSettings& settings) {
    accuracy_->setValue(settings.accuracyMs);
    tempo_->setValue(settings.tempo);
    fillList(timebase_, timebases(), settings.timebase);
    meterTop_->setValue(settings.meterTop);
    fillList(meterBottom_, meterBottoms(), settings.meterBottom);
    // Connected after filling, so that showing the settings does not count as edits.
    connect(tempo_, &QSpinBox::valueChanged, this,
            [this](int tempo) { transport_.tempoEdited(tempo); });
    connect(accuracy_, &QSpinBox::valueChanged, this, [this](int ms) {
        keepOrRefuse(transport_.setAccuracy(ms),
                     [this] { accuracy_->setValue(transport_.settings().accuracyMs); });
    });
    connect(timebase_, &QComboBox::currentIndexChanged, this, [this] {
        keepOrRefuse(transport_.setTimebase(timebase_->currentData().toInt()), [this] {
            timebase_->setCurrentIndex(timebase_->findData(transport_.settings().timebase));
        });
    });
    connect(meterTop_, &QSpinBox::valueChanged, this, [this](int top) {
        keepOrRefuse(transport_.setMeterTop(top),
                     [this] { meterTop_->setValue(transport_.settings().meterTop); });
    });
    connect(meterBottom_, &QComboBox::currentIndexChanged, this, [this] {
        keepOrRefuse(transport_.setMeterBottom(meterBottom_->currentData().toInt()), [this] {
            meterBottom_->setCurrentIndex(
                meterBottom_->findData(transport_.settings().meterBottom));
        });
    });
}

// A value the transport refuses is answered with a beep and the field shows the kept one.
void SyncTransportWindow::keepOrRefuse(bool kept, const std::function<void()>& restore) {
    if (!kept) {
        QApplication::beep();
        const QSignalBlocker blockAccuracy(accuracy_);
        const QSignalBlocker blockTimebase(timebase_);
        const QSignalBlocker blockTop(meterTop_);
        const QSignalBlocker blockBottom(meterBottom_);
        restore();
    }
    refresh();
}

void SyncTransportWindow::setColours(const QColor& background, const QColor& text) {
    display_->setColours(background, text);
    QPalette palette = tempoLabel_->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    tempoLabel_->setPalette(palette);
}

void SyncTransportWindow::refresh() {
    const bool idle = transport_.sendClockEnabled();
    sendClock_->setEnabled(idle);
    link_->setEnabled(idle);
    accuracy_->setEnabled(transport_.clockSettingsEnabled());
    timebase_->setEnabled(transport_.clockSettingsEnabled());
    {
        const QSignalBlocker block(sendClock_);
        sendClock_->setChecked(transport_.clockRunning());
    }
    for (const char* name : {"back", "forward"}) {
        findChild<QToolButton*>(QString::fromLatin1(name))->setEnabled(!transport_.linked());
    }
    display_->setText(displayedPosition());
    tempoLabel_->setText(receivedTempoText());
}

QString SyncTransportWindow::displayedPosition() const {
    return QString::fromStdString(transport_.positionText());
}

QString SyncTransportWindow::receivedTempoText() const {
    return QString::fromStdString(transport_.tempoText());
}

void SyncTransportWindow::onMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (msg == WM_CVX_TEMPO) {
        transport_.receiveTempo(lParam);
        tempoLabel_->setText(receivedTempoText());
    } else if (msg == WM_CVX_SONG_POSITION) {
        transport_.receivePosition(wParam, lParam);
        display_->setText(displayedPosition());
    }
}

void SyncTransportWindow::reject() {
    transport_.escape();
    close();
}

void SyncTransportWindow::closeEvent(QCloseEvent* event) {
    finish();
    QWidget::closeEvent(event); // not QDialog's: it would reject(), which closes again
}

void SyncTransportWindow::finish() {
    if (finishedOnce_) {
        return;
    }
    finishedOnce_ = true;
    DetachSync(client_);
    const SyncSettings kept = transport_.shutDown(tempo_->value());
    if (finished_) {
        finished_(kept);
    }
}

} // namespace corvex
