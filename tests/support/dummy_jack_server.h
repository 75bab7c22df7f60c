// A private JACK server for a test or a benchmark run: `jackd` with the dummy driver (no
// hardware) at a chosen rate and period, under a name of its own that JACK_DEFAULT_SERVER
// points the process's clients to, so runs in parallel never share a server. The server is
// ended by stop(), by the destructor, and by the kernel when the thread that started it ends
// first (it gets SIGTERM then), so it never outlives its user.
//
// Not thread-safe: one thread starts, stops and kills a server; start it from a thread that
// lives as long as the server should.
#pragma once

#include <sys/types.h>

#include <string>

namespace cvx::platform {

struct DummyServerOptions {
    unsigned rate = 48000;
    unsigned period = 1024;
    bool realtime = false; // asks for real-time scheduling; jackd goes on without it if refused
    // How long the server waits for a late client before it drops it. A cycle that comes
    // late on a loaded machine then delays the graph instead of dropping its events.
    unsigned clientTimeoutMs = 10000;
    // The server is named `<namePrefix><pid>`, with "_<n>" after it when `numbered` (n counts
    // the servers this process started), so servers of one process never share a name.
    std::string namePrefix = "cvxjack";
    bool numbered = true;
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
    // Ends the server the orderly way (killing it after a grace period), then clears what a
    // kill or crash left in JACK's registry of servers and in /dev/shm under its name.
    void stop();
    // Ends the server the way a crash would (stop() then clears what the crash left).
    void kill();

    const std::string& name() const { return name_; }

private:
    bool launch();
    bool end(int signal); // false when the server had to be killed
    void removeLeftovers() const;

    std::string name_;
    DummyServerOptions options_;
    pid_t pid_ = -1;
    bool crashed_ = false;
};

} // namespace cvx::platform
