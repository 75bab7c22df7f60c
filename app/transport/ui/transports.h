// The program's two transport windows, "MTC Transport" and "MIDI Sync Transport": at most
// one of each, opened by their frame commands, their settings taken from and handed back
// to the instance's "Options", their places remembered while the program runs. The sync
// transport drives the MTC transport through this owner (MtcLink), opening it when needed.
//
// Threads: the user-interface thread only.
#pragma once

#include "colour_table.h"
#include "settings_profile.h"
#include "transport/sync_transport.h"
#include "transport/transport_engine.h"
#include "transport/ui/mtc_transport_window.h"
#include "transport/ui/sync_transport_window.h"
#include "transport/ui/transport_window_memory.h"

#include <QPointer>

#include <functional>
#include <memory>

namespace corvex {

class Transports : public MtcLink {
public:
    // `closed` is told the command of a window the user closed (the frame forgets it).
    Transports(InstanceOptions& options, const ColourScheme& colours,
               std::function<void(int command)> closed);
    ~Transports() override; // closes both windows

    static bool isTransportCommand(int command);
    // Opens the window of `command` on `client`, or brings it to the front.
    void open(int command, uint64_t client, QWidget* owner);
    // Destroys the window of `command`; its settings are kept.
    void close(int command);
    // New colours for the displays.
    void applyColours();

    MtcTransportWindow* mtcWindow() const { return mtc_; }
    SyncTransportWindow* syncWindow() const { return sync_; }

    void openMtcTransport() override;
    void lockMtcTransport(bool locked) override;
    void pressMtcPlay() override;
    void pressMtcPause() override;
    void pressMtcStop() override;
    void pressMtcRewind() override;

private:
    void openMtc(QWidget* owner);
    void openSync(QWidget* owner);
    void place(QWidget& window, const std::optional<QRect>& remembered, bool rightCorner) const;
    void watchClosing(QWidget& window, int command, std::optional<QRect>& place);

    InstanceOptions& options_;
    const ColourScheme& colours_;
    std::function<void(int)> closed_;
    uint64_t client_ = 0;
    QPointer<QWidget> owner_;
    std::unique_ptr<ClientTransportEngine> engine_;
    TransportWindowMemory memory_;
    QPointer<MtcTransportWindow> mtc_;
    QPointer<SyncTransportWindow> sync_;
};

} // namespace corvex
