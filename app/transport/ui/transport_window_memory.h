// What the transport windows remember while the program runs: where each was last, and the
// received-rate label the MTC transport showed.
#pragma once

#include <QRect>

#include <optional>

namespace corvex {

struct TransportWindowMemory {
    std::optional<QRect> mtcPlace;
    std::optional<QRect> syncPlace;
    int receivedRateIndex = 3; // 30 fps until a time code was received
};

} // namespace corvex
