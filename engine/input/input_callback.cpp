#include "input/input_callback.h"

#include "core/client.h"
#include "input/short_message_path.h"
#include "input/sysex_input_path.h"

namespace cvx::input {

void engineInputCallback(HMIDIIN handle, UINT kind, DWORD_PTR instance, DWORD_PTR param1,
                         DWORD_PTR param2) {
    auto* client = reinterpret_cast<core::CvxClient*>(instance);
    if (client == nullptr) {
        return;
    }
    auto timestamp = static_cast<uint32_t>(param2);
    switch (kind) {
    case MIM_DATA:
    case MIM_ERROR:
        processShortMessage(*client, handle, static_cast<uint32_t>(param1), timestamp);
        break;
    case MIM_LONGDATA:
        if (param1 != 0) {
            processSysExBuffer(*client, handle, *reinterpret_cast<MIDIHDR*>(param1), timestamp);
        }
        break;
    default:
        break;
    }
}

} // namespace cvx::input
