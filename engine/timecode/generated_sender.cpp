#include "timecode/generated_sender.h"

#include "core/client.h"
#include "timecode/time_code_feed.h"

namespace cvx::timecode {

void sendGenerated(core::CvxClient& client, uint8_t status, uint8_t data1, uint8_t data2) {
    EVENT event{};
    event.timestamp = timeGetTime() - client.timeBase.load();
    event.message = uint32_t{status} | uint32_t{data1} << 8 | uint32_t{data2} << 16 |
                    uint32_t{CVX_ORIGIN_PANEL} << 24;
    event.port = CVX_GENERATED_PORT;
    trackShortMessage(client, event);
}

} // namespace cvx::timecode
