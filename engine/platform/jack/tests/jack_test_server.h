// A private JACK server for a test: `jackd` with the dummy driver (no hardware, no real-time
// scheduling) under a name unique to this process, which JACK_DEFAULT_SERVER points the
// process's clients to, so test runs in parallel never share a server.
#pragma once

#include <sys/types.h>

#include <string>

namespace cvx::platform {

class JackTestServer {
public:
    JackTestServer() = default;
    JackTestServer(const JackTestServer&) = delete;
    JackTestServer& operator=(const JackTestServer&) = delete;
    ~JackTestServer() { stop(); }

    // Whether a `jackd` program can be found on PATH.
    static bool installed();

    static constexpr unsigned kSampleRate = 48000;
    static constexpr unsigned kDefaultPeriodFrames = 1024;

    // Starts the server with periods of `periodFrames` at kSampleRate and waits until a
    // client can connect; false when it does not come up.
    bool start(unsigned periodFrames = kDefaultPeriodFrames);
    // Ends the server the orderly way.
    void stop();
    // Ends the server the way a crash would (stop() then clears what the crash left).
    void kill();

    const std::string& name() const { return name_; }

private:
    bool launch();
    void removeClientSemaphores() const;
    bool end(int signal); // false when the server had to be killed

    std::string name_;
    unsigned periodFrames_ = kDefaultPeriodFrames;
    pid_t pid_ = -1;
    bool crashed_ = false;
};

} // namespace cvx::platform
