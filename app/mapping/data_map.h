// The application's data map: the map items in list order, their SysEx entries packed into
// one pool, and the map's options and switches. Every storage form reads into and writes
// from this shape, and record() hands it to the engine (SendMap, SendPDMap).
//
// The pool is "SYX", 0x00 followed by entries back to back; it exists from the first time
// the map loads items (an empty pool is 4 bytes long) and never exceeds 65,534 bytes. Each
// item that has an entry names it by its offset (`sysexOffset`); items without one have 0.
//
// Not thread-safe: one thread (the user-interface thread) owns a map.
#pragma once

#include "cvx_records.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

// Items are equal when every field is: the record has no padding. (Beside the record's own
// namespace, so that every comparison finds it.)
inline bool operator==(const MapItem& a, const MapItem& b) {
    return std::memcmp(&a, &b, sizeof(MapItem)) == 0;
}

namespace corvex {

// One item together with its SysEx entry (empty: none), independent of any pool. Readers
// produce rows; the map packs their entries into its pool when it takes them.
struct MapRow {
    MapItem item{};
    std::vector<uint8_t> sysex;

    bool operator==(const MapRow&) const = default;
};

class DataMap {
public:
    uint16_t options = 0; // MAP_WAIT_FOR_FULL_NRPN, ...; other bits are carried
    int16_t isOn = 0;     // the global map is applied to input
    int16_t keys = 0;     // also applied to the PC keyboard's events

    std::span<const MapItem> items() const { return items_; }
    // The SysEx entry of item `index`; empty when it has none.
    std::span<const uint8_t> sysexOf(size_t index) const;
    // Every item with its entry, in list order.
    std::vector<MapRow> rows() const;

    bool hasPool() const { return !pool_.empty(); }
    // The pool's used length including its header; 0 while there is no pool.
    uint16_t sysexLength() const { return static_cast<uint16_t>(pool_.size()); }
    std::span<const uint8_t> poolImage() const { return pool_; }

    // The pool length after taking `rows` (replacing, or appended after the items held).
    size_t poolLengthAfter(std::span<const MapRow> rows, bool append) const;

    // Replaces the items with `rows`, or appends them. The pool is created when missing;
    // when replacing it is emptied first. Entries are packed in item order; an entry that
    // would take the pool to 65,535 bytes or more is not stored and its item gets
    // sysexOffset 0 (poolLengthAfter tells beforehand whether everything fits).
    void load(std::span<const MapRow> rows, bool append);

    // Items and SysEx entries removed, pool kept; options and switches unchanged.
    void clearItems();

    // The engine's view of the map. Its pointers stay valid until the map next changes.
    SMapper record();

private:
    void ensurePool();
    uint16_t addEntry(std::span<const uint8_t> bytes);

    std::vector<MapItem> items_;
    std::vector<uint8_t> pool_; // used part; empty while there is no pool
};

} // namespace corvex
