// A private JACK server for one benchmark run: `jackd` with the dummy driver (no hardware)
// at a chosen rate and period, under a name of its own that JACK_DEFAULT_SERVER points the
// process's clients to. The server is ended by stop(), by the destructor, and by the kernel
// when the benchmark process dies first (it gets SIGTERM when its parent goes away).
//
// Call start() before the process makes any thread: it forks.
#pragma once

#include <sys/types.h>

#include <string>

namespace cvx::bench {

struct DummyServerOptions {
    unsigned rate = 48000;
    unsigned period = 64;
    bool realtime = true; // asks for real-time scheduling; jackd goes on without it if refused
};

class DummyJackServer {
public:
    DummyJackServer() = default;
    DummyJackServer(const DummyJackServer&) = delete;
    DummyJackServer& operator=(const DummyJackServer&) = delete;
    ~DummyJackServer() { stop(); }

    // Whether a `jackd` program can be found on PATH.
    static bool installed();

    // Starts the server and waits until a client can connect; false (and nothing left
    // running) when it does not come up.
    bool start(const DummyServerOptions& options);
    // Ends the server the orderly way (killing it after a grace period, then clearing what
    // the kill left in JACK's registry and in /dev/shm under its name).
    void stop();

    const std::string& name() const { return name_; }

private:
    bool launch();
    bool end(); // false when the server had to be killed
    void removeLeftovers() const;

    std::string name_;
    DummyServerOptions options_;
    pid_t pid_ = -1;
};

} // namespace cvx::bench
