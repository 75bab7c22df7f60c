#include "mapping/map_storage.h"

#include "mapping/item_match.h"

#include <atomic>
#include <cstring>

namespace cvx::mapping {

namespace {

// Every request is a multiple of 8 bytes, so that all blocks of the arena (which rounds to 4
// and carries 16-byte headers) start on an 8-byte boundary and can hold pointers.
void* allocateAligned(core::MapArena& arena, size_t bytes, bool zeroFill) {
    constexpr size_t kAlignment = 8;
    void* block = arena.allocate((bytes + kAlignment - 1) & ~(kAlignment - 1), zeroFill);
    if (block != nullptr && reinterpret_cast<uintptr_t>(block) % kAlignment != 0) {
        arena.release(block);
        return nullptr;
    }
    return block;
}

template <typename T> void publish(T& field, T value) {
    std::atomic_ref<T>(field).store(value, std::memory_order_release);
}

template <typename T> T load(T& field) {
    return std::atomic_ref<T>(field).load(std::memory_order_acquire);
}

uint16_t channelMask(uint8_t sourceChannel) {
    if (sourceChannel == 0xFF) {
        return 0xFFFF;
    }
    return sourceChannel < kChannelCount ? static_cast<uint16_t>(1u << sourceChannel) : 0;
}

// Adds item `index` to the plain summaries of `type`.
void summarisePlain(ItemTable& table, uint8_t type, uint8_t sourceChannel, uint32_t index) {
    table.plainChannels[type] |= typeChecksChannel(type) ? channelMask(sourceChannel) : 0xFFFF;
    table.plainEnd[type] = static_cast<uint16_t>(index + 1);
}

void summarise(ItemTable& table, const MapItem& item, uint32_t index) {
    if (!isProducibleTarget(item.targetMessage)) {
        return; // matches nothing
    }
    if (item.sourceMessage == MAP_NRPN) {
        table.nrpnChannels |= channelMask(item.sourceChannel);
    } else if (item.sourceMessage == MAP_RPN) {
        table.rpnChannels |= channelMask(item.sourceChannel);
    } else if (item.sourceMessage == MAP_ANY) {
        for (uint8_t type = 0; type < kMessageTypeSlots; ++type) {
            if (isPlainType(type)) {
                summarisePlain(table, type, item.sourceChannel, index);
            }
        }
    } else if (isPlainType(item.sourceMessage)) {
        summarisePlain(table, item.sourceMessage, item.sourceChannel, index);
    }
}

// A copy of the map's items in the arena; nullptr for no items or when they do not fit.
ItemTable* copyItems(core::MapArena& arena, const SMapper& map) {
    if (map.itemCount <= 0 || map.items == nullptr) {
        return nullptr;
    }
    auto count = static_cast<uint32_t>(map.itemCount);
    auto* table = static_cast<ItemTable*>(
        allocateAligned(arena, sizeof(ItemTable) + count * sizeof(MapItem), false));
    if (table == nullptr) {
        return nullptr;
    }
    *table = ItemTable{};
    table->count = count;
    auto* items = reinterpret_cast<MapItem*>(table + 1);
    std::memcpy(items, map.items, count * sizeof(MapItem));
    for (uint32_t i = 0; i < count; ++i) {
        summarise(*table, items[i], i);
    }
    return table;
}

bool bringsSysEx(const SMapper& map) {
    return map.sysexPool != nullptr && map.sysexLength > MAP_SYSEX_POOL_HEADER;
}

// A copy of the used part of the map's SysEx pool. sysexLength is a u16, so it can never
// exceed the 65,535-byte pool.
SysExBlock* copySysEx(core::MapArena& arena, const SMapper& map) {
    static_assert(MAP_SYSEX_POOL_SIZE == UINT16_MAX);
    auto* block = static_cast<SysExBlock*>(
        allocateAligned(arena, sizeof(SysExBlock) + map.sysexLength, false));
    if (block == nullptr) {
        return nullptr;
    }
    block->length = map.sysexLength;
    std::memcpy(block + 1, map.sysexPool, map.sysexLength);
    return block;
}

void releaseItems(core::MapArena& arena, MapCopy& copy) {
    ItemTable* old = load(copy.table);
    publish(copy.table, static_cast<ItemTable*>(nullptr));
    if (old != nullptr) {
        arena.release(old);
    }
}

void releaseSysEx(core::MapArena& arena, MapCopy& copy) {
    SysExBlock* old = load(copy.sysex);
    publish(copy.sysex, static_cast<SysExBlock*>(nullptr));
    if (old != nullptr) {
        arena.release(old);
    }
}

// Replaces the items, and the SysEx block when `replaceBlock`. Everything replaced is
// released before anything new is allocated, so a new map fits wherever the old one did.
void replaceContents(core::MapArena& arena, MapCopy& copy, const SMapper& map, bool replaceBlock) {
    releaseItems(arena, copy);
    if (replaceBlock) {
        releaseSysEx(arena, copy);
    }
    publish(copy.table, copyItems(arena, map));
    if (replaceBlock && bringsSysEx(map)) {
        publish(copy.sysex, copySysEx(arena, map));
    }
}

void storeFields(MapCopy& copy, const SMapper& map) {
    publish(copy.options, map.mapOptions);
    publish(copy.keys, map.mapKeys);
    publish(copy.itemCount, map.itemCount);
}

void releaseRoute(core::MapArena& arena, RouteMap* route) {
    if (route->map.table != nullptr) {
        arena.release(route->map.table);
    }
    if (route->map.sysex != nullptr) {
        arena.release(route->map.sysex);
    }
    arena.release(route);
}

} // namespace

// Runs under the engine lock, which every reader of the map's contents holds too; `active`
// is read without it (to skip the lock when no map is on), so it keeps its old value until
// the new map is in place: a message racing with a replacement meets the old map or the
// new one, never none.
void storeGlobalMap(core::MapArena& arena, MapCopy& copy, NrpnState& nrpn, const SMapper& map) {
    storeFields(copy, map);
    publish(nrpn.options, map.mapOptions);
    replaceContents(arena, copy, map, bringsSysEx(map));
    publish(copy.active, static_cast<int16_t>(map.mapIsOn != 0));
}

bool storeRouteMap(core::MapArena& arena, RouteMap*& slot, const SMapper& map) {
    RouteMap* route = load(slot);
    publish(slot, static_cast<RouteMap*>(nullptr));
    if (route == nullptr) {
        route = static_cast<RouteMap*>(allocateAligned(arena, sizeof(RouteMap), true));
        if (route == nullptr) {
            return false;
        }
    }
    route->nrpn = NrpnState{};
    route->nrpn.options = map.mapOptions;
    storeFields(route->map, map);
    route->map.active = map.mapIsOn;
    replaceContents(arena, route->map, map, true);
    bool itemsMissing = map.itemCount > 0 && map.items != nullptr && route->map.table == nullptr;
    bool sysexMissing = bringsSysEx(map) && route->map.sysex == nullptr;
    if (itemsMissing || sysexMissing) {
        releaseRoute(arena, route);
        return false;
    }
    publish(slot, route);
    return true;
}

void clearRouteMap(core::MapArena& arena, RouteMap*& slot) {
    RouteMap* route = load(slot);
    if (route == nullptr) {
        return;
    }
    publish(slot, static_cast<RouteMap*>(nullptr));
    releaseRoute(arena, route);
}

bool isActive(MapCopy& copy) {
    return load(copy.active) != 0;
}

bool mapsKeyboard(MapCopy& copy) {
    return load(copy.keys) != 0;
}

MapView viewOf(MapCopy& copy) {
    return MapView{load(copy.table), load(copy.sysex)};
}

RouteMap* routeMapIn(RouteMap*& slot) {
    return load(slot);
}

} // namespace cvx::mapping
