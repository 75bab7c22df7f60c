#include "command_ids.h"
#include "frame_services.h"

namespace corvex {

int viewCommand(ViewKind kind) {
    switch (kind) {
    case ViewKind::InputMonitor:
        return cmd::kInputMonitor;
    case ViewKind::MidiStatus:
        return cmd::kMidiStatus;
    case ViewKind::PortStatus:
        return cmd::kPortStatus;
    case ViewKind::PortRouting:
        return cmd::kPortRoutings;
    case ViewKind::MainMonitor:
        break;
    }
    return cmd::kMainMonitor;
}

} // namespace corvex
