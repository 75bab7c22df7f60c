// The private JACK server of a test: `jackd -d dummy` at kSampleRate without real-time
// scheduling, named "cvxtest<pid>_<n>" so test processes in parallel never share one.
#pragma once

#include "support/dummy_jack_server.h"

#include <chrono>
#include <thread>

namespace cvx::platform {

class JackTestServer : public DummyJackServer {
public:
    static constexpr unsigned kSampleRate = 48000;
    static constexpr unsigned kDefaultPeriodFrames = 1024;

    // Starts the server with periods of `periodFrames` and waits until a client can
    // connect; false when it does not come up.
    bool start(unsigned periodFrames = kDefaultPeriodFrames) {
        DummyServerOptions options;
        options.rate = kSampleRate;
        options.period = periodFrames;
        options.namePrefix = "cvxtest";
        return DummyJackServer::start(options);
    }

    // start(), tried again a few times: JACK's registry of servers is small, and on a busy
    // machine a slot may free up a little later.
    bool startPatiently(unsigned periodFrames = kDefaultPeriodFrames) {
        bool started = start(periodFrames);
        for (int attempt = 0; !started && attempt < 3; ++attempt) {
            std::this_thread::sleep_for(std::chrono::seconds(2));
            started = start(periodFrames);
        }
        return started;
    }
};

} // namespace cvx::platform
