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

    CFilter load() const {
        uint32_t words[kWords];
        for (int i = 0; i < kWords; ++i) {
            words[i] = words_[i].load(std::memory_order_relaxed);
        }
        CFilter filter;
        std::memcpy(&filter, words, sizeof filter);
        return filter;
    }

    uint32_t flags() const { return words_[0].load(std::memory_order_relaxed); }

private:
    static constexpr int kWords = sizeof(CFilter) / sizeof(uint32_t);
    std::atomic<uint32_t> words_[kWords] = {};
};

} // namespace cvx::core
