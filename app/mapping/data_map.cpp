#include "mapping/data_map.h"

#include "mapping/sysex_pool.h"

#include <algorithm>
#include <limits>

namespace corvex {

std::span<const uint8_t> DataMap::sysexOf(size_t index) const {
    return poolEntryAt(pool_, items_.at(index).sysexOffset).bytes;
}

std::vector<MapRow> DataMap::rows() const {
    std::vector<MapRow> rows;
    rows.reserve(items_.size());
    for (size_t i = 0; i < items_.size(); ++i) {
        std::span<const uint8_t> entry = sysexOf(i);
        rows.push_back({items_[i], {entry.begin(), entry.end()}});
    }
    return rows;
}

size_t DataMap::poolLengthAfter(std::span<const MapRow> rows, bool append) const {
    size_t length = append && hasPool() ? pool_.size() : MAP_SYSEX_POOL_HEADER;
    for (const MapRow& row : rows) {
        if (!row.sysex.empty()) {
            length += 2 + row.sysex.size();
        }
    }
    return length;
}

void DataMap::load(std::span<const MapRow> rows, bool append) {
    if (!append) {
        items_.clear();
        pool_.clear();
    }
    ensurePool();
    items_.reserve(items_.size() + rows.size());
    for (const MapRow& row : rows) {
        MapItem item = row.item;
        item.sysexOffset = addEntry(row.sysex);
        items_.push_back(item);
    }
}

void DataMap::clearItems() {
    items_.clear();
    pool_.clear();
    ensurePool();
}

SMapper DataMap::record() {
    SMapper map{};
    map.mapOptions = options;
    map.mapIsOn = isOn;
    map.mapKeys = keys;
    map.itemCount =
        static_cast<int16_t>(std::min<size_t>(items_.size(), std::numeric_limits<int16_t>::max()));
    map.items = items_.empty() ? nullptr : items_.data();
    map.sysexLength = sysexLength();
    map.sysexPool = pool_.empty() ? nullptr : pool_.data();
    return map;
}

void DataMap::ensurePool() {
    if (pool_.empty()) {
        pool_.assign(std::begin(kSysExPoolMagic), std::end(kSysExPoolMagic));
    }
}

uint16_t DataMap::addEntry(std::span<const uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > MAP_SYSEX_STRING_MAX ||
        pool_.size() + 2 + bytes.size() >= MAP_SYSEX_POOL_SIZE) {
        return 0;
    }
    auto offset = static_cast<uint16_t>(pool_.size());
    pool_.push_back(static_cast<uint8_t>(bytes.size() & 0xFF));
    pool_.push_back(static_cast<uint8_t>(bytes.size() >> 8));
    pool_.insert(pool_.end(), bytes.begin(), bytes.end());
    return offset;
}

} // namespace corvex
