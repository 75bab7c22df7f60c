// One engine client of an example program and the ports it opened, closed in order when
// the client goes: inputs and outputs, then the client. Inputs get lent SysEx buffers so
// SysEx arrives, outputs get buffers so SysEx can be routed through them.
//
// Threads: the program's main thread (the one that pumps the notification loop).
#pragma once

#include "cvxlib.h"
#include "support/device_lookup.h"

#include <string>
#include <vector>

namespace corvex::examples {

class EngineClient {
public:
    // InitCallBack and CreateClient with an all-zero filter (nothing hidden or blocked).
    explicit EngineClient(HWND window);
    ~EngineClient();
    EngineClient(const EngineClient&) = delete;
    EngineClient& operator=(const EngineClient&) = delete;

    uint64_t handle() const { return handle_; }

    // Open a port; an empty string on success, else what went wrong, for the user.
    std::string openInput(const Device& device);
    std::string openOutput(const Device& device, const CPortMap& map);
    // Starts the time stamps and every open input.
    void start();

    // The answer to WM_CVX_SYSEXDATA: gives the lent buffer back to its input.
    static void giveBack(const CvxMessage& sysexData);

private:
    uint64_t handle_ = 0;
    std::vector<HMIDIIN> inputs_;
    std::vector<HMIDIOUT> outputs_;
};

} // namespace corvex::examples
