// The device roster: the port objects of every input and output the MIDI service offers
// (up to 135 each, plus the "MIDI Mapper" slot after the outputs), built by enumeration with
// identical devices numbered ("Name", "Name #2", ...), their custom names, and the lookups
// by display name and engine index. It also reads the service's lists without logging, so
// that a device change can be told from a spurious notice.
//
// User-interface thread only.
#pragma once

#include "device_log.h"
#include "device_user_interface.h"
#include "midi_port.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace corvex {

class DeviceRoster {
public:
    static constexpr int kMaxDevices = 135;  // per direction, not counting the mapper
    static constexpr int kPortObjects = 136; // port objects per direction

    // The service's lists as enumeration would name them: product names (numbered when
    // identical) and the backend of each.
    struct DeviceList {
        std::vector<std::string> inputs;
        std::vector<std::string> inputBackends;
        std::vector<std::string> outputs;
        std::vector<std::string> outputBackends;
    };

    explicit DeviceRoster(PortContext& context);

    // Forgets every device (handles too, without closing them).
    void reset();
    // Rebuilds the port objects from the service's lists, logging to the device log; the
    // notice for the user when there are no inputs or no outputs is shown through `ui`, as
    // is every output whose capabilities could not be read. The ports must be closed.
    void enumerate(DeviceLog& log, DeviceUserInterface& ui);
    // The custom display names ("Custom In Names", "Custom Out Names": device name ->
    // custom name), given to the ports at once and after every enumeration.
    void setCustomNames(std::map<std::string, std::string> inputs,
                        std::map<std::string, std::string> outputs);
    // Gives every port its custom name, if it has one.
    void applyCustomNames();

    DeviceList readDeviceList() const;
    // Whether `list` is what the port objects were built from.
    bool sameAs(const DeviceList& list) const;
    // Names (monitor text through `ui`) the open ports whose device `list` no longer has.
    void announceDisconnected(const DeviceList& list, DeviceUserInterface& ui) const;

    int inputCount() const { return inputCount_; }
    int outputCount() const { return outputCount_; } // with the mapper slot
    CMidiIn& input(int slot) { return *inputs_[slot]; }
    CMidiOut& output(int slot) { return *outputs_[slot]; }
    const CMidiIn& input(int slot) const { return *inputs_[slot]; }
    const CMidiOut& output(int slot) const { return *outputs_[slot]; }

    // By display name; null when none.
    CMidiIn* findInput(const std::string& displayName);
    CMidiOut* findOutput(const std::string& displayName);
    // By engine index (device index); null when none.
    CMidiIn* inputAt(int deviceIndex);
    CMidiOut* outputAt(int deviceIndex);
    // The display names of the present inputs and outputs, by slot.
    std::vector<std::string> inputNames() const;
    std::vector<std::string> outputNames() const;

    int openInputCount() const;
    int openOutputCount() const;

private:
    void enumerateInputs(std::string& notice);
    void enumerateOutputs(std::string& notice, DeviceUserInterface& ui);

    PortContext& context_;
    std::array<std::unique_ptr<CMidiIn>, kPortObjects> inputs_;
    std::array<std::unique_ptr<CMidiOut>, kPortObjects> outputs_;
    int inputCount_ = 0;
    int outputCount_ = 0;
    std::map<std::string, std::string> customInputNames_;
    std::map<std::string, std::string> customOutputNames_;
};

} // namespace corvex
