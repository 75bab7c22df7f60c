// The "MIDI Sync Transport" window: shows the song position and tempo the engine receives,
// runs the engine's clock at a tempo and timebase, sends start, continue, stop and song
// position, moves by measures, and can drive the MTC transport along (the logic is
// SyncTransport's).
//
// The engine's WM_CVX_TEMPO and WM_CVX_SONG_POSITION reports arrive through the window's
// message target (a position with every clock); the display repaints only when they change
// what it shows, and Qt folds repaints into the screen's frames.
//
// Threads: the user-interface thread only.
#pragma once

#include "transport/sync_transport.h"
#include "views/message_target.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QToolButton;

namespace corvex {

class TransportDisplay;

class SyncTransportWindow : public QDialog {
    Q_OBJECT

public:
    // Called once when the window goes, with the settings to keep.
    using Finished = std::function<void(const SyncSettings&)>;

    SyncTransportWindow(TransportEngine& engine, MtcLink& link, uint64_t client,
                        const SyncSettings& settings, Finished finished, QWidget* owner);
    ~SyncTransportWindow() override;

    void setColours(const QColor& background, const QColor& text);
    const SyncTransport& transport() const { return transport_; }
    QString displayedPosition() const;
    QString receivedTempoText() const;

public slots:
    void reject() override; // Escape: a playing clock stops, then the window closes

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QWidget* buildTransmitGroup();
    QWidget* buildSettings(QWidget* parent);
    void showSettings(const SyncSettings& settings);
    void keepOrRefuse(bool kept, const std::function<void()>& restore);
    void refresh();
    void onMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam);
    void finish();

    SyncTransport transport_;
    uint64_t client_;
    Finished finished_;
    MessageTarget target_;
    TransportDisplay* display_ = nullptr;
    QLabel* tempoLabel_ = nullptr;
    QCheckBox* sendClock_ = nullptr;
    QSpinBox* accuracy_ = nullptr;
    QSpinBox* tempo_ = nullptr;
    QComboBox* timebase_ = nullptr;
    QSpinBox* meterTop_ = nullptr;
    QComboBox* meterBottom_ = nullptr;
    QCheckBox* link_ = nullptr;
    bool finishedOnce_ = false;
};

} // namespace corvex
