#include "platform/virtual_tap.h"

#include "platform/midi_service.h"
#include "platform/virtual_backend.h"

namespace cvx::platform {

VirtualTap& VirtualTap::instance() {
    static VirtualTap tap(MidiService::instance());
    return tap;
}

bool VirtualTap::feed(UINT device, const uint8_t* bytes, size_t length) {
    DeviceEntry entry;
    if (!service_.inputEntry(device, entry)) {
        return false;
    }
    if (bytes != nullptr && length > 0) {
        service_.feedInput(entry, bytes, length);
    }
    return true;
}

size_t VirtualTap::take(UINT device, uint8_t* buffer, size_t capacity) {
    DeviceEntry entry;
    if (buffer == nullptr || capacity == 0) {
        return 0;
    }
    if (device == MIDI_MAPPER ? !service_.mapperTarget(entry)
                              : !service_.outputEntry(device, entry)) {
        return 0;
    }
    VirtualBackend* cables = entry.backend->loopback;
    return cables != nullptr ? cables->take(entry.key, buffer, capacity) : 0;
}

void VirtualTap::settle() {
    service_.waitForInputs();
}

bool VirtualTap::changeCables(const std::string& name,
                              bool (VirtualBackend::*change)(const std::string&)) {
    BackendSlot* slot = service_.loopbackSlot();
    if (slot == nullptr) {
        return false;
    }
    bool changed = false;
    {
        std::lock_guard call(slot->callMutex);
        changed = (slot->loopback->*change)(name);
    }
    if (changed) {
        service_.waitForDeviceUpdates();
    }
    return changed;
}

bool VirtualTap::addCable(const std::string& name) {
    return changeCables(name, &VirtualBackend::addCable);
}

bool VirtualTap::removeCable(const std::string& name) {
    return changeCables(name, &VirtualBackend::removeCable);
}

void VirtualTap::failNextOpen(UINT device, bool output, MMRESULT code) {
    OpenFailures::Target target;
    target.output = output;
    if (output && device == MIDI_MAPPER) {
        target.mapper = true;
    } else {
        DeviceEntry entry;
        if (output ? !service_.outputEntry(device, entry) : !service_.inputEntry(device, entry)) {
            return;
        }
        target.backend = entry.backend;
        target.key = entry.key;
    }
    service_.openFailures().arm(target, code);
}

} // namespace cvx::platform
