// The application's object for one MIDI device: CMidiIn for an input, CMidiOut for an
// output. Each wraps the client API for its device (capabilities, open, close, SysEx
// buffers) and logs what it does. CMidi owns them all.
//
// User-interface thread only.
#pragma once

#include "cvx_platform.h"
#include "cvx_records.h"
#include "device_log.h"
#include "midi_device_query.h"
#include "open_errors.h"

#include <cstdint>
#include <string>

namespace corvex {

// What every port object shares with the device manager.
struct PortContext {
    MidiDeviceQuery* query = nullptr;
    DeviceLog* log = nullptr;
    uint64_t client = 0;
    std::string pendingOpenErrors; // collected failures, shown once after opening
};

class CMidiPort {
public:
    explicit CMidiPort(PortContext& context) : context_(&context) {}
    CMidiPort(const CMidiPort&) = delete;
    CMidiPort& operator=(const CMidiPort&) = delete;
    virtual ~CMidiPort() = default;

    // Reads the device's capabilities and name; 1 on success, 0 (and a log line) on failure.
    virtual int QueryCaps(int deviceIndex) = 0;
    // 1 when open (also when it already was), else 0 with the failure logged and collected.
    virtual int Open() = 0;
    virtual int IsOpen() const = 0;
    // 1 when it was open and closed.
    virtual int Close() = 0;
    virtual int AllocSysExBuffer(uint16_t size) = 0;
    virtual void FreeSysExBuffers() = 0;
    // Forgets the device (the handle too, without closing it).
    virtual void Reset();

    // The custom name when set, else the product name.
    const std::string& displayName() const;
    const std::string& productName() const { return productName_; }
    const std::string& customName() const { return customName_; }
    const std::string& backend() const { return backend_; }
    void setProductName(std::string name) { productName_ = std::move(name); }
    void setCustomName(std::string name) { customName_ = std::move(name); }

    int deviceIndex() const { return deviceIndex_; }
    void setDeviceIndex(int index) { deviceIndex_ = index; }
    int selectionOrder() const { return selectionOrder_; }
    bool selected() const { return selected_; }
    void select(int order) {
        selected_ = true;
        selectionOrder_ = order;
    }
    void deselect() {
        selected_ = false;
        selectionOrder_ = -1;
    }

protected:
    // The log lines around an open, and the collected failure text.
    void logBeginOpen(const char* prefix) const;
    void logOpenResult(const char* prefix, MMRESULT result, PortDirection direction);

    PortContext* context_;
    std::string productName_;
    std::string customName_;
    std::string backend_;
    int deviceIndex_ = -1;
    int selectionOrder_ = -1;
    bool selected_ = false;
};

class CMidiIn : public CMidiPort {
public:
    using CMidiPort::CMidiPort;

    int QueryCaps(int deviceIndex) override;
    int Open() override;
    int IsOpen() const override { return handle_ != nullptr; }
    int Close() override;
    int AllocSysExBuffer(uint16_t size) override;
    void FreeSysExBuffers() override;
    void Reset() override;

    HMIDIIN handle() const { return handle_; }
    const MIDIINCAPS& caps() const { return caps_; }

private:
    HMIDIIN handle_ = nullptr;
    MIDIINCAPS caps_{};
};

class CMidiOut : public CMidiPort {
public:
    using CMidiPort::CMidiPort;

    int QueryCaps(int deviceIndex) override;
    int Open() override;
    int IsOpen() const override { return handle_ != nullptr; }
    int Close() override;
    int AllocSysExBuffer(uint16_t size) override;
    void FreeSysExBuffers() override;
    void Reset() override;

    // Makes this object the "MIDI Mapper" slot with the given engine index.
    void makeMapper(int deviceIndex);
    bool isMapper() const { return mapper_; }

    HMIDIOUT handle() const { return handle_; }
    const MIDIOUTCAPS& caps() const { return caps_; }
    CPortMap& portMap() { return portMap_; }
    const CPortMap& portMap() const { return portMap_; }

    // The description of the last capability failure, which the device manager shows as a
    // warning (outputs do not log it).
    const std::string& queryFailure() const { return queryFailure_; }

private:
    HMIDIOUT handle_ = nullptr;
    MIDIOUTCAPS caps_{};
    CPortMap portMap_{};
    bool mapper_ = false;
    std::string queryFailure_;
};

} // namespace corvex
