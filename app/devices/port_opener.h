// Opening and closing the selected ports through the engine, guarded against drivers that
// crash while opening ("LastOpenFailed" is 1 while the ports open; a value left at 1 makes
// the next attempt ask "Previous Failure" first). Opening gives the ports their SysEx
// buffers, starts the inputs, collects the failures into one message and sends every open
// route its data map; opening and closing both tell the frame that the ports changed.
// Closing first writes what the ports and queues lost to the device log.
//
// User-interface thread only.
#pragma once

#include "device_log.h"
#include "device_roster.h"
#include "device_settings.h"
#include "device_user_interface.h"
#include "loss_report.h"
#include "port_selection.h"
#include "route_map_reader.h"
#include "sysex_buffers.h"

namespace corvex {

class PortOpener {
public:
    struct Parts {
        DeviceRoster& roster;
        PortSelection& selection;
        SysExBuffers& sysex;
        DeviceLog& log;
        PortContext& context;
    };

    PortOpener(Parts parts, DeviceUserInterface& ui, OpenGuardStore& guard)
        : parts_(parts), ui_(ui), guard_(guard) {}

    void setRouteMapReader(RouteMapReader* reader) { routeMapReader_ = reader; }
    // A new engine client: the loss counts of its queues start from zero.
    void clientChanged() { lossReport_.restart(); }

    // Opens the selected ports; whether anything opened.
    bool openPorts();
    void closePorts();
    bool reopenPorts();
    bool portsOpen() const { return portsOpen_; }
    // ClearPDMap and, where assigned, SendPDMap for every open route.
    void sendPortDataMaps();

private:
    class OpeningScope;

    bool confirmRetry();
    int openSelectedInputs();
    int openSelectedOutputs();
    void startInputs();
    // Writes what the open ports and the queues lost (GetPortCounters) to the device log,
    // before the ports close; nothing when nothing was lost.
    void logLostData();

    Parts parts_;
    DeviceUserInterface& ui_;
    OpenGuardStore& guard_;
    RouteMapReader* routeMapReader_ = nullptr;
    LossReport lossReport_;
    bool portsOpen_ = false;
};

} // namespace corvex
