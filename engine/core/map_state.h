// Engine-side records of the data maps: the NRPN/RPN assembly and output state of one map,
// the engine's copy of a map, and a per-route map record.
//
// All of them are plain: trivially copyable, and the all-zero value is the reset state, so
// the zero-filled client record and zero-filled arena blocks start out correct.
//
// Publication (map_storage.h): `MapCopy::active`, `MapCopy::keys`, `MapCopy::table`,
// `MapCopy::sysex` and a client's route-map pointers are written and read only through
// std::atomic_ref, stores with release, loads with acquire. Item pointer and item count are
// one publication because the count lives in the `ItemTable` header the pointer points to;
// the same holds for the SysEx block and its length.
#pragma once

#include "cvx_records.h"

#include <cstdint>
#include <type_traits>

namespace cvx::mapping {

inline constexpr int kChannelCount = 16;
inline constexpr int kHeldCapacity = 4;
inline constexpr int kReplayCapacity = 5;

// NrpnRecord::flags. The two data-complete bits are always set and cleared together: a
// completed data value may be matched, and incremented or decremented in place.
inline constexpr uint8_t kParamComplete = 0x01;
inline constexpr uint8_t kDataComplete = 0x06;
inline constexpr uint8_t kNrpnMode = 0x10;
inline constexpr uint8_t kRpnMode = 0x20;

// NrpnRecord::received
inline constexpr uint8_t kParamMsbReceived = 0x01;
inline constexpr uint8_t kParamLsbReceived = 0x02;
inline constexpr uint8_t kDataMsbReceived = 0x04;
inline constexpr uint8_t kDataLsbReceived = 0x08;

// The assembly of one channel's NRPN or RPN controller sequence.
struct NrpnRecord {
    uint32_t held[kHeldCapacity]; // the raw controller messages that formed the sequence
    uint8_t heldCount;
    uint8_t paramMsb;
    uint8_t paramLsb;
    uint8_t dataMsb;
    uint8_t dataLsb;
    uint8_t received;
    uint8_t flags;
};

// OutputSequence::flags
inline constexpr uint8_t kSequencePending = 0x04;
inline constexpr uint8_t kSequenceNrpn = 0x40;
inline constexpr uint8_t kSequenceRpn = 0x80;

// An NRPN or RPN controller sequence being sent, one controller per processing-loop pass.
struct OutputSequence {
    uint8_t paramMsb;
    uint8_t paramLsb;
    uint8_t dataMsb;
    uint8_t dataLsb;
    uint8_t step; // 0-3
    uint8_t flags;
};

// Everything a map step keeps between messages for one map.
struct NrpnState {
    uint16_t options; // the map's mapOptions
    NrpnRecord nrpn[kChannelCount];
    NrpnRecord rpn[kChannelCount];
    OutputSequence sequences[kChannelCount];
    uint8_t sequenceChannel; // channel of the sequence in progress
    uint32_t slot;           // the one message an NRPN/RPN item produced
    uint32_t replay[kReplayCapacity];
    uint8_t replayCount;
    uint8_t replayIndex;
};

// The engine's copy of a map's items, in the arena: this header, then `count` MapItems.
// Bit c of a channel mask is set when an item with source type NRPN / RPN matches channel c
// (an item of channel "any" sets every bit); the step tests it instead of scanning.
struct ItemTable {
    uint32_t count;
    uint16_t nrpnChannels;
    uint16_t rpnChannels;
};

inline const MapItem* itemsOf(const ItemTable* table) {
    return reinterpret_cast<const MapItem*>(table + 1);
}

// The engine's copy of a map's SysEx pool, in the arena: this header, then `length` bytes
// (the pool from its "SYX\0" header on).
struct SysExBlock {
    uint32_t length;
};

inline const uint8_t* bytesOf(const SysExBlock* block) {
    return reinterpret_cast<const uint8_t*>(block + 1);
}

// The engine's copy of an SMapper.
struct MapCopy {
    uint16_t options;
    int16_t active;    // published last (release) by a replacement
    int16_t keys;      // also map type-1 (PC keyboard) injections
    int16_t itemCount; // as sent; `table` holds the items actually stored
    ItemTable* table;  // nullptr: no items (none sent, or the arena was full)
    SysExBlock* sysex; // nullptr: no SysEx strings
};

// The map of one route (input → output), allocated in the arena.
struct RouteMap {
    MapCopy map;
    NrpnState nrpn;
};

static_assert(std::is_trivially_copyable_v<NrpnState> && std::is_standard_layout_v<NrpnState>);
static_assert(std::is_trivially_copyable_v<MapCopy> && std::is_standard_layout_v<MapCopy>);
static_assert(std::is_trivially_copyable_v<RouteMap> && std::is_standard_layout_v<RouteMap>);
static_assert(sizeof(ItemTable) % alignof(MapItem) == 0);

} // namespace cvx::mapping
