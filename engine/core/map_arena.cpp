#include "core/map_arena.h"

#include <algorithm>
#include <cstring>

namespace cvx::core {

namespace {

constexpr char kSignature[4] = {'+', 'S', 'A', 'L'};
constexpr uint32_t kStateUsed = 0x55534544u; // "USED"
constexpr uint32_t kStateFree = 0x46524545u; // "FREE"
constexpr size_t kMinSplitRest = 16;
constexpr size_t kMinSplitRequest = 20;

} // namespace

struct MapArena::Header {
    uint32_t size; // whole block, header included
    uint32_t nextFree;
    char signature[4];
    uint32_t state;
};

MapArena::MapArena() {
    static_assert(sizeof(Header) == kHeaderSize);
    freeLists_.fill(kNone);
    Header* whole = at(0);
    whole->size = kSize;
    std::memcpy(whole->signature, kSignature, sizeof kSignature);
    whole->state = kStateFree;
    insertFree(0);
}

MapArena::Header* MapArena::at(uint32_t offset) {
    return reinterpret_cast<Header*>(storage_.data() + offset);
}

const MapArena::Header* MapArena::at(uint32_t offset) const {
    return reinterpret_cast<const Header*>(storage_.data() + offset);
}

size_t MapArena::classOf(uint32_t size) {
    if (size <= 128) {
        return 0;
    }
    if (size <= 1024) {
        return 1;
    }
    return size <= 16384 ? 2 : 3;
}

void MapArena::insertFree(uint32_t offset) {
    Header* block = at(offset);
    block->state = kStateFree;
    uint32_t* link = &freeLists_[classOf(block->size)];
    while (*link != kNone && at(*link)->size < block->size) {
        link = &at(*link)->nextFree;
    }
    block->nextFree = *link;
    *link = offset;
}

void MapArena::unlinkFree(uint32_t offset) {
    uint32_t* link = &freeLists_[classOf(at(offset)->size)];
    while (*link != kNone && *link != offset) {
        link = &at(*link)->nextFree;
    }
    if (*link == offset) {
        *link = at(offset)->nextFree;
    }
    at(offset)->nextFree = kNone;
}

uint32_t MapArena::findFit(uint32_t need) const {
    for (size_t c = classOf(need); c < kClasses; ++c) {
        for (uint32_t o = freeLists_[c]; o != kNone; o = at(o)->nextFree) {
            if (at(o)->size >= need) {
                return o;
            }
        }
    }
    return kNone;
}

void* MapArena::take(uint32_t offset, uint32_t need, size_t bytes, bool zeroFill) {
    unlinkFree(offset);
    Header* block = at(offset);
    if (block->size - need > kMinSplitRest && bytes >= kMinSplitRequest) {
        uint32_t restOffset = offset + need;
        Header* rest = at(restOffset);
        rest->size = block->size - need;
        std::memcpy(rest->signature, kSignature, sizeof kSignature);
        insertFree(restOffset);
        block->size = need;
    }
    block->state = kStateUsed;
    uint8_t* data = storage_.data() + offset + kHeaderSize;
    if (zeroFill) {
        std::memset(data, 0, block->size - kHeaderSize);
    }
    return data;
}

void* MapArena::allocate(size_t bytes, bool zeroFill) {
    if (bytes > kSize - kHeaderSize) {
        return nullptr;
    }
    uint32_t need = static_cast<uint32_t>((bytes + kHeaderSize + 3) & ~size_t{3});
    uint32_t offset = findFit(need);
    if (offset == kNone) {
        mergeAll();
        offset = findFit(need);
    }
    return offset == kNone ? nullptr : take(offset, need, bytes, zeroFill);
}

bool MapArena::owns(const void* p) const {
    auto address = reinterpret_cast<uintptr_t>(p);
    auto base = reinterpret_cast<uintptr_t>(storage_.data());
    if (address < base + kHeaderSize || address >= base + kSize) {
        return false;
    }
    uint32_t offset = static_cast<uint32_t>(address - base - kHeaderSize);
    if (offset % 4 != 0) {
        return false;
    }
    const Header* block = at(offset);
    return std::memcmp(block->signature, kSignature, sizeof kSignature) == 0 &&
           block->state == kStateUsed && block->size >= kHeaderSize &&
           block->size <= kSize - offset;
}

bool MapArena::release(void* p) {
    if (!owns(p)) {
        return false;
    }
    auto offset = static_cast<uint32_t>(static_cast<uint8_t*>(p) - storage_.data() - kHeaderSize);
    absorbFollowing(offset);
    insertFree(offset);
    return true;
}

void MapArena::absorbFollowing(uint32_t offset) {
    Header* block = at(offset);
    for (uint32_t next = offset + block->size; next < kSize && at(next)->state == kStateFree;
         next = offset + block->size) {
        unlinkFree(next);
        Header* absorbed = at(next);
        block->size += absorbed->size;
        std::memset(absorbed, 0, kHeaderSize); // a stale pointer to it is refused later
    }
}

void MapArena::mergeAll() {
    freeLists_.fill(kNone);
    for (uint32_t o = 0; o < kSize; o += at(o)->size) {
        if (at(o)->state != kStateFree) {
            continue;
        }
        at(o)->nextFree = kNone;
        for (uint32_t next = o + at(o)->size; next < kSize && at(next)->state == kStateFree;
             next = o + at(o)->size) {
            at(o)->size += at(next)->size;
            std::memset(at(next), 0, kHeaderSize);
        }
        insertFree(o);
    }
}

size_t MapArena::freeBlockCount() const {
    size_t count = 0;
    for (uint32_t head : freeLists_) {
        for (uint32_t o = head; o != kNone; o = at(o)->nextFree) {
            ++count;
        }
    }
    return count;
}

size_t MapArena::largestFreeBlock() const {
    size_t largest = 0;
    for (uint32_t head : freeLists_) {
        for (uint32_t o = head; o != kNone; o = at(o)->nextFree) {
            largest = std::max<size_t>(largest, at(o)->size - kHeaderSize);
        }
    }
    return largest;
}

} // namespace cvx::core
