#include "routing/processing_loop.h"

#include "output/sysex_output.h"

namespace cvx::routing {

namespace {

void sendMapSysEx(void* context, const uint8_t* bytes, uint16_t length, uint8_t sourcePort) {
    output::sendSysExBlock(*static_cast<core::CvxClient*>(context), bytes, length, sourcePort);
}

} // namespace

mapping::SysExSink sysexSinkFor(core::CvxClient& client) {
    return mapping::SysExSink{sendMapSysEx, &client};
}

mapping::MapCopy* globalMapFor(core::CvxClient& client, bool evenIfInactive) {
    return evenIfInactive || mapping::isActive(client.globalMap) ? &client.globalMap : nullptr;
}

} // namespace cvx::routing
