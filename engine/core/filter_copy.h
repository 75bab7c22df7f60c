// The engine's copy of the client's CFilter. The application replaces it while the callbacks
// test messages against it, so it is kept as atomic words: a reader may see a replacement
// half done (one message judged by a mix of the two filters) but never a torn word.
#pragma once

#include "cvx_records.h"

#include <atomic>
#include <cstdint>
#include <cstring>

namespace cvx::core {

class FilterCopy {
public:
    void store(const CFilter& filter) {
        uint32_t words[kWords];
        std::memcpy(words, &filter, sizeof filter);
        for (int i = 0; i < kWords; ++i) {
            words_[i].store(words[i], std::memory_order_relaxed);
        }
    }

    // Word by word into the record: gathering the words first and copying them whole made
    // the processor read back a block it had just written in pieces, which stalls.
    CFilter load() const {
        CFilter filter;
        auto* bytes = reinterpret_cast<unsigned char*>(&filter);
        for (int i = 0; i < kWords; ++i) {
            uint32_t word = words_[i].load(std::memory_order_relaxed);
            std::memcpy(bytes + i * sizeof word, &word, sizeof word);
        }
        return filter;
    }

    uint32_t flags() const { return words_[0].load(std::memory_order_relaxed); }

private:
    static constexpr int kWords = sizeof(CFilter) / sizeof(uint32_t);
    std::atomic<uint32_t> words_[kWords] = {};
};

} // namespace cvx::core
