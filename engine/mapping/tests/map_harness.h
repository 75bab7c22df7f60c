// Runs messages through a data map stored in a real arena and records what comes out.
#pragma once

#include "core/map_arena.h"
#include "core/map_state.h"
#include "cvx_records.h"
#include "mapping/map_loop.h"
#include "mapping/map_storage.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace cvx::mapping::testing {

inline uint32_t msg(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0) {
    return status | uint32_t{data1} << 8 | uint32_t{data2} << 16;
}
inline uint32_t cc(uint8_t channel, uint8_t controller, uint8_t value) {
    return msg(static_cast<uint8_t>(0xB0 | channel), controller, value);
}
inline uint32_t noteOn(uint8_t channel, uint8_t note, uint8_t velocity) {
    return msg(static_cast<uint8_t>(0x90 | channel), note, velocity);
}

// An item that matches everything of `sourceType` on any channel and keeps every value.
inline MapItem openItem(uint8_t sourceType, uint8_t targetType) {
    MapItem item{};
    item.sourceChannel = 0xFF;
    item.sourceMessage = sourceType;
    item.sourceV1Min = item.sourceV1Max = item.sourceV2Min = item.sourceV2Max = 0xFFFF;
    item.targetChannel = 0xFF;
    item.targetMessage = targetType;
    item.targetV1Min = item.targetV1Max = item.targetV2Min = item.targetV2Max = 0xFFFF;
    return item;
}

struct Output {
    uint32_t message;
    uint32_t delay;
    bool operator==(const Output&) const = default;
};

struct SentSysEx {
    std::vector<uint8_t> bytes;
    uint8_t port;
};

// A SysEx pool with the given strings; offsets() gives each string's entry offset.
class PoolBuilder {
public:
    PoolBuilder() : bytes_{'S', 'Y', 'X', 0} {}
    uint16_t add(const std::vector<uint8_t>& string) {
        auto offset = static_cast<uint16_t>(bytes_.size());
        bytes_.push_back(static_cast<uint8_t>(string.size()));
        bytes_.push_back(static_cast<uint8_t>(string.size() >> 8));
        bytes_.insert(bytes_.end(), string.begin(), string.end());
        return offset;
    }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

class MapHarness {
public:
    MapHarness() : arena_(std::make_unique<core::MapArena>()) {}

    void load(std::vector<MapItem> items, uint16_t options = 0, std::vector<uint8_t> pool = {}) {
        items_ = std::move(items);
        pool_ = std::move(pool);
        SMapper map{};
        map.mapOptions = options;
        map.mapIsOn = 1;
        map.itemCount = static_cast<int16_t>(items_.size());
        map.items = items_.data();
        map.sysexLength = static_cast<uint16_t>(pool_.size());
        map.sysexPool = pool_.empty() ? nullptr : pool_.data();
        storeGlobalMap(*arena_, copy_, nrpn_, map);
    }

    std::vector<Output> send(uint32_t message, uint8_t port = 0) {
        EVENT source{};
        source.message = message;
        source.port = port;
        std::vector<Output> out;
        MapView view = viewOf(copy_);
        SysExSink sink{&MapHarness::collectSysEx, this};
        runMapLoop(source, isActive(copy_) ? &view : nullptr, nrpn_, sink,
                   [&out](const EVENT& e, uint32_t delay) {
                       out.push_back({e.message, delay});
                   });
        return out;
    }

    // Messages only, for sequences where delays do not matter.
    std::vector<uint32_t> messages(uint32_t message) {
        std::vector<uint32_t> result;
        for (const Output& o : send(message)) {
            result.push_back(o.message);
        }
        return result;
    }

    core::MapArena& arena() { return *arena_; }
    MapCopy& copy() { return copy_; }
    NrpnState& nrpn() { return nrpn_; }
    std::vector<SentSysEx>& sysex() { return sysex_; }

private:
    static void collectSysEx(void* context, const uint8_t* bytes, uint16_t length, uint8_t port) {
        auto* self = static_cast<MapHarness*>(context);
        self->sysex_.push_back({std::vector<uint8_t>(bytes, bytes + length), port});
    }

    std::unique_ptr<core::MapArena> arena_;
    MapCopy copy_{};
    NrpnState nrpn_{};
    std::vector<MapItem> items_;
    std::vector<uint8_t> pool_;
    std::vector<SentSysEx> sysex_;
};

} // namespace cvx::mapping::testing
