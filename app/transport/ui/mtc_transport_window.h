// The "MTC Transport" window: shows the time code the engine receives, and plays, pauses,
// stops and rewinds the engine's time-code generator from a typed location at a chosen
// frame rate (the logic is MtcTransport's).
//
// The engine's WM_CVX_MTC_TIME reports arrive through the window's message target (one per
// two frames received); the display repaints only when they change what it shows.
//
// Threads: the user-interface thread only.
#pragma once

#include "transport/mtc_transport.h"
#include "views/message_target.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QToolButton;

namespace corvex {

class TransportDisplay;

class MtcTransportWindow : public QDialog {
    Q_OBJECT

public:
    // Called once when the window goes, with the settings to keep and the received rate
    // it showed.
    using Finished = std::function<void(const MtcSettings&, int receivedRateIndex)>;

    MtcTransportWindow(TransportEngine& engine, uint64_t client, const MtcSettings& settings,
                       int receivedRateIndex, Finished finished, QWidget* owner);
    ~MtcTransportWindow() override;

    void setColours(const QColor& background, const QColor& text);

    // The transport buttons' commands, as the sync transport also gives them.
    void play();
    void pause();
    void stop();
    void rewind();
    void setLocked(bool locked);

    const MtcTransport& transport() const { return transport_; }
    QString displayedTime() const;
    QString receivedRateText() const;

public slots:
    void reject() override; // Escape closes like the close box

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QWidget* buildTransmitGroup();
    void showSettings(const MtcSettings& settings);
    MtcControls controls() const;
    int chosenRate() const;
    void rewriteLocation();
    void refresh();
    void onMessage(uint32_t msg, uintptr_t wParam);
    void finish();

    MtcTransport transport_;
    uint64_t client_;
    Finished finished_;
    MessageTarget target_;
    TransportDisplay* display_ = nullptr;
    QLabel* rateLabel_ = nullptr;
    QToolButton* buttons_[4] = {};
    QLineEdit* location_ = nullptr;
    QSpinBox* accuracy_ = nullptr;
    QRadioButton* rates_[4] = {};
    QCheckBox* slow30_ = nullptr;
    bool finishedOnce_ = false;
};

} // namespace corvex
