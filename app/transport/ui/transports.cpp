#include "transport/ui/transports.h"

#include "command_ids.h"

#include <QEvent>

namespace corvex {
namespace {

QColor colourOf(Colour colour) {
    return {redOf(colour), greenOf(colour), blueOf(colour)};
}

// Remembers the window's place whenever it moves or changes size while shown.
class PlaceWatch : public QObject {
public:
    PlaceWatch(QWidget& window, std::optional<QRect>& place)
        : QObject(&window), window_(window), place_(place) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const bool moved = event->type() == QEvent::Move || event->type() == QEvent::Resize;
        if (moved && window_.isVisible()) {
            place_ = window_.geometry();
        }
        return false;
    }

private:
    QWidget& window_;
    std::optional<QRect>& place_;
};

} // namespace

Transports::Transports(InstanceOptions& options, const ColourScheme& colours,
                       std::function<void(int)> closed)
    : options_(options), colours_(colours), closed_(std::move(closed)) {}

Transports::~Transports() {
    close(cmd::kMidiSync); // first: it may still drive the MTC transport
    close(cmd::kMtcTransport);
}

bool Transports::isTransportCommand(int command) {
    return command == cmd::kMtcTransport || command == cmd::kMidiSync;
}

void Transports::open(int command, uint64_t client, QWidget* owner) {
    if (engine_ == nullptr || client != client_) {
        close(cmd::kMidiSync);
        close(cmd::kMtcTransport);
        client_ = client;
        engine_ = std::make_unique<ClientTransportEngine>(client);
    }
    owner_ = owner;
    if (command == cmd::kMtcTransport) {
        openMtc(owner);
    } else if (command == cmd::kMidiSync) {
        openSync(owner);
    }
}

void Transports::openMtc(QWidget* owner) {
    if (mtc_ != nullptr) {
        mtc_->raise();
        mtc_->activateWindow();
        return;
    }
    const MtcSettings settings{static_cast<uint32_t>(options_.mtcOffset),
                               options_.mtcTimerResolution, options_.mtcFrameRate,
                               options_.mtcSlow30 != 0};
    mtc_ = new MtcTransportWindow(
        *engine_, client_, settings, memory_.receivedRateIndex,
        [this](const MtcSettings& kept, int receivedRate) {
            options_.mtcOffset = static_cast<int>(kept.offset);
            options_.mtcTimerResolution = kept.accuracyMs;
            options_.mtcFrameRate = kept.frameRate;
            options_.mtcSlow30 = kept.slow30 ? 1 : 0;
            memory_.receivedRateIndex = receivedRate;
        },
        owner);
    mtc_->setAttribute(Qt::WA_DeleteOnClose);
    mtc_->setColours(colourOf(colours_[kMtcBackground]), colourOf(colours_[kMtcText]));
    place(*mtc_, memory_.mtcPlace, true);
    watchClosing(*mtc_, cmd::kMtcTransport, memory_.mtcPlace);
    mtc_->show();
}

void Transports::openSync(QWidget* owner) {
    if (sync_ != nullptr) {
        sync_->raise();
        sync_->activateWindow();
        return;
    }
    const SyncSettings settings{options_.syncTimer, options_.tempo, options_.timebase,
                                options_.meterTop, options_.meterBottom};
    sync_ = new SyncTransportWindow(
        *engine_, *this, client_, settings,
        [this](const SyncSettings& kept) {
            options_.syncTimer = kept.accuracyMs;
            options_.tempo = kept.tempo;
            options_.timebase = kept.timebase;
            options_.meterTop = kept.meterTop;
            options_.meterBottom = kept.meterBottom;
        },
        owner);
    sync_->setAttribute(Qt::WA_DeleteOnClose);
    sync_->setColours(colourOf(colours_[kSyncBackground]), colourOf(colours_[kSyncText]));
    place(*sync_, memory_.syncPlace, false);
    watchClosing(*sync_, cmd::kMidiSync, memory_.syncPlace);
    sync_->show();
}

// The remembered place, or the first time a top corner of the owner's client area.
void Transports::place(QWidget& window, const std::optional<QRect>& remembered,
                       bool rightCorner) const {
    if (remembered) {
        window.setGeometry(*remembered);
        return;
    }
    window.adjustSize();
    if (owner_ == nullptr) {
        return;
    }
    const QRect area(owner_->mapToGlobal(QPoint(0, 0)), owner_->size());
    window.move(rightCorner ? QPoint(area.right() - window.frameGeometry().width() + 1, area.top())
                            : area.topLeft());
}

void Transports::watchClosing(QWidget& window, int command, std::optional<QRect>& place) {
    new PlaceWatch(window, place);
    QObject::connect(&window, &QObject::destroyed, [this, command] {
        if (closed_) {
            closed_(command);
        }
    });
}

void Transports::close(int command) {
    if (command == cmd::kMtcTransport) {
        delete mtc_.data();
    } else if (command == cmd::kMidiSync) {
        delete sync_.data();
    }
}

void Transports::applyColours() {
    if (mtc_ != nullptr) {
        mtc_->setColours(colourOf(colours_[kMtcBackground]), colourOf(colours_[kMtcText]));
    }
    if (sync_ != nullptr) {
        sync_->setColours(colourOf(colours_[kSyncBackground]), colourOf(colours_[kSyncText]));
    }
}

void Transports::openMtcTransport() {
    if (mtc_ == nullptr && engine_ != nullptr) {
        openMtc(owner_);
    }
}

void Transports::lockMtcTransport(bool locked) {
    if (mtc_ != nullptr) {
        mtc_->setLocked(locked);
    }
}

void Transports::pressMtcPlay() {
    if (mtc_ != nullptr) {
        mtc_->play();
    }
}

void Transports::pressMtcPause() {
    if (mtc_ != nullptr) {
        mtc_->pause();
    }
}

void Transports::pressMtcStop() {
    if (mtc_ != nullptr) {
        mtc_->stop();
    }
}

void Transports::pressMtcRewind() {
    if (mtc_ != nullptr) {
        mtc_->rewind();
    }
}

} // namespace corvex
