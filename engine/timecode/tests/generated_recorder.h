// A GeneratedSender for tests: records what the generators and sync commands send, with
// the (manual) clock's time of sending.
#pragma once

#include "core/client.h"

#include <cstdint>
#include <vector>

namespace cvx::test {

struct SentMessage {
    uint32_t time;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
};

inline std::vector<SentMessage>& sentMessages() {
    static std::vector<SentMessage> sent;
    return sent;
}

inline void recordGenerated(core::CvxClient&, uint8_t status, uint8_t data1, uint8_t data2) {
    sentMessages().push_back({timeGetTime(), status, data1, data2});
}

inline size_t countSent(uint8_t status) {
    size_t n = 0;
    for (const SentMessage& m : sentMessages()) {
        n += m.status == status ? 1 : 0;
    }
    return n;
}

} // namespace cvx::test
