// One short message on its way to one output, as an output lane queues it.
#pragma once

#include "cvx_platform.h"
#include "cvx_records.h"

#include <cstdint>

namespace cvx::output {

enum class SendKind : uint8_t {
    Routed,    // through the route mask of the event's input, with running status
    Generated, // whole, through the generated-event port's mask, retried once
};

struct PendingSend {
    EVENT event{};
    HMIDIOUT handle = nullptr; // the open it was routed to: a reopened output drops it
    uint32_t mask = 0;         // Routed: the route mask when it was routed
    SendKind kind = SendKind::Routed;
    bool monitor = false; // Routed: add a monitor record once sent
};

} // namespace cvx::output
