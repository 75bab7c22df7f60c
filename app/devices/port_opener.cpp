#include "port_opener.h"

#include "cvxlib.h"

namespace corvex {

// Everything that must hold on every way out of opening, an exception included: input
// unblocked, the device log closed and the crash guard cleared, so that a clean failure
// never asks "Previous Failure" next time.
class PortOpener::OpeningScope {
public:
    explicit OpeningScope(PortOpener& opener) : opener_(opener) {
        // The mark first: if it cannot be written, nothing else has happened yet.
        opener_.guard_.setLastOpenFailed(1);
        BlockInput(opener_.parts_.context.client, 1);
        opener_.parts_.log.resume();
    }
    OpeningScope(const OpeningScope&) = delete;
    OpeningScope& operator=(const OpeningScope&) = delete;
    ~OpeningScope() {
        opener_.parts_.log.close();
        BlockInput(opener_.parts_.context.client, 0);
        try {
            opener_.guard_.setLastOpenFailed(0);
        } catch (...) {
            // The store reports its own failures; a destructor must not throw.
        }
    }

private:
    PortOpener& opener_;
};

bool PortOpener::confirmRetry() {
    for (;;) {
        switch (ui_.askPreviousFailure()) {
        case DeviceUserInterface::RetryAnswer::Yes:
            return true;
        case DeviceUserInterface::RetryAnswer::No:
            return false;
        case DeviceUserInterface::RetryAnswer::ViewLog:
            if (!ui_.openFile(parts_.log.path())) {
                ui_.showWarning("Could not open the log file.  It is possible the file name was "
                                "not a type known by the system (.TXT).");
            }
            break; // and ask again
        }
    }
}

bool PortOpener::openPorts() {
    if (guard_.lastOpenFailed() != 0 && !confirmRetry()) {
        guard_.setLastOpenFailed(0);
        return false;
    }
    if (portsOpen_ || parts_.roster.openInputCount() + parts_.roster.openOutputCount() > 0) {
        closePorts();
    }
    bool anything = false;
    {
        OpeningScope scope(*this);
        PortContext& context = parts_.context;
        context.pendingOpenErrors.clear();
        const int inputs = openSelectedInputs();
        const int outputs = openSelectedOutputs();
        anything = inputs + outputs > 0;
        parts_.log.close();
        if (!context.pendingOpenErrors.empty()) {
            const std::string errors = context.pendingOpenErrors;
            context.pendingOpenErrors.clear();
            ui_.showWarning(errors);
        }
        portsOpen_ = anything;
        if (anything) {
            sendPortDataMaps();
        }
    }
    ui_.portsChanged();
    return anything;
}

int PortOpener::openSelectedInputs() {
    // Inputs that failed last time are tried again, with the routing they had.
    parts_.selection.reconnectFailedInputs();
    DeviceRoster& roster = parts_.roster;
    int opened = 0;
    for (int slot = 0; slot < roster.inputCount(); ++slot) {
        CMidiIn& input = roster.input(slot);
        if (!input.selected()) {
            continue;
        }
        if (input.Open() != 0) {
            ++opened;
        } else {
            parts_.selection.inputFailed(input.deviceIndex());
        }
    }
    parts_.sysex.giveOpenedInputs();
    startInputs();
    if (opened > 0) {
        ui_.appendMonitorText("Opened MIDI Input");
    }
    return opened;
}

void PortOpener::startInputs() {
    DeviceRoster& roster = parts_.roster;
    std::vector<HMIDIIN> handles;
    for (int slot = 0; slot < roster.inputCount() && handles.size() < DeviceRoster::kMaxDevices;
         ++slot) {
        if (roster.input(slot).IsOpen() != 0) {
            handles.push_back(roster.input(slot).handle());
        }
    }
    StartTimeStamp(parts_.context.client);
    for (size_t position = 0; position < handles.size(); ++position) {
        if (StartMidiIn(handles[position]) != MMSYSERR_NOERROR) {
            ui_.showWarning("StartMidiIn Failed - dev: " + std::to_string(position));
            break;
        }
    }
}

int PortOpener::openSelectedOutputs() {
    DeviceRoster& roster = parts_.roster;
    int opened = 0;
    for (int slot = 0; slot < roster.outputCount(); ++slot) {
        CMidiOut& output = roster.output(slot);
        if (output.selected() && output.Open() != 0) {
            ++opened;
        }
    }
    parts_.sysex.giveOpenedOutputs();
    if (opened > 0) {
        ui_.appendMonitorText("Opened MIDI Output");
    }
    return opened;
}

void PortOpener::logLostData() {
    CPortCounters counters{};
    counters.cbStruct = sizeof counters;
    const uint64_t client = parts_.context.client;
    if (client == 0 || GetPortCounters(client, &counters) == 0) {
        return;
    }
    const DeviceRoster& roster = parts_.roster;
    std::vector<LossReportPort> inputs;
    for (int slot = 0; slot < roster.inputCount(); ++slot) {
        if (roster.input(slot).IsOpen() != 0) {
            inputs.push_back({roster.input(slot).deviceIndex(), roster.input(slot).displayName()});
        }
    }
    std::vector<LossReportPort> outputs;
    for (int slot = 0; slot < roster.outputCount(); ++slot) {
        if (roster.output(slot).IsOpen() != 0) {
            outputs.push_back(
                {roster.output(slot).deviceIndex(), roster.output(slot).displayName()});
        }
    }
    const std::vector<std::string> lines = lossReport_.lines(counters, inputs, outputs);
    if (lines.empty()) {
        return;
    }
    parts_.log.resume();
    for (const std::string& line : lines) {
        parts_.log.line(line);
    }
    parts_.log.close();
}

void PortOpener::closePorts() {
    logLostData();
    DeviceRoster& roster = parts_.roster;
    int inputs = 0;
    for (int slot = 0; slot < roster.inputCount(); ++slot) {
        inputs += roster.input(slot).Close();
    }
    if (inputs > 0) {
        ui_.appendMonitorText("Closed MIDI Input");
    }
    int outputs = 0;
    for (int slot = 0; slot < roster.outputCount(); ++slot) {
        outputs += roster.output(slot).Close();
    }
    if (outputs > 0) {
        ui_.appendMonitorText("Closed MIDI Output");
    }
    portsOpen_ = false;
    ui_.portsChanged();
}

bool PortOpener::reopenPorts() {
    closePorts();
    return openPorts();
}

void PortOpener::sendPortDataMaps() {
    const DeviceRoster& roster = parts_.roster;
    const uint64_t client = parts_.context.client;
    std::vector<int> sources;
    for (int in = 0; in < roster.inputCount(); ++in) {
        if (roster.input(in).IsOpen() != 0) {
            sources.push_back(roster.input(in).deviceIndex());
        }
    }
    sources.push_back(PortSelection::kGeneratedPort);
    for (int out = 0; out < roster.outputCount(); ++out) {
        const CMidiOut& output = roster.output(out);
        if (output.IsOpen() == 0) {
            continue;
        }
        for (const int input : sources) {
            ClearPDMap(client, input, output.deviceIndex());
            const std::optional<std::string> path =
                parts_.selection.portDataMap().find(output.deviceIndex(), input);
            if (path && routeMapReader_ != nullptr) {
                routeMapReader_->readRouteMap(*path, [&](const SMapper& map) {
                    SendPDMap(client, input, output.deviceIndex(), map);
                });
            }
        }
    }
}

} // namespace corvex
