// The paths a benchmark message takes from the sender's JACK port to the receiver's:
// - a direct JACK connection (the baseline),
// - the platform MIDI service alone: its JACK input's callback sends each message straight
//   to its JACK output (what the backend and the service's input thread cost),
// - the whole engine: a client with the JACK input routed by a CPortMap to the JACK output,
//   through a 32-item data map on that route.
// The service and the engine name the benchmark's ports as devices: the sender's output
// port is an input device, the receiver's input port an output device.
//
// Threads: open/close/drain/callbackUs on the benchmark's main thread; ServiceThru's input
// callback runs on the MIDI service's input thread and only stores a time and sends.
#pragma once

#include "cvx_platform.h"

#include <jack/jack.h>

#include <atomic>
#include <memory>
#include <string>

namespace cvx::bench {

// Device indices of the benchmark's ports in the service's lists; false when not listed.
bool findDevices(const std::string& senderPort, const std::string& receiverPort, UINT& input,
                 UINT& output);

class DirectConnection {
public:
    // Connects `from` to `to` through `client`'s server; an empty string on success.
    std::string open(jack_client_t* client, const std::string& from, const std::string& to);
    void close();

private:
    jack_client_t* client_ = nullptr;
    std::string from_;
    std::string to_;
};

class ServiceThru {
public:
    explicit ServiceThru(size_t messages);
    ~ServiceThru() { close(); }
    ServiceThru(const ServiceThru&) = delete;
    ServiceThru& operator=(const ServiceThru&) = delete;

    std::string open(UINT input, UINT output);
    void close();
    // jack_get_time() when the input callback saw message k (0 when it did not).
    jack_time_t callbackUs(size_t k) const;

private:
    static void onInput(HMIDIIN handle, UINT msg, DWORD_PTR self, DWORD_PTR message, DWORD_PTR);

    size_t messages_;
    std::unique_ptr<std::atomic<jack_time_t>[]> seen_;
    HMIDIIN in_ = nullptr;
    HMIDIOUT out_ = nullptr;
};

class CorvexRoute {
public:
    CorvexRoute() = default;
    ~CorvexRoute() { close(); }
    CorvexRoute(const CorvexRoute&) = delete;
    CorvexRoute& operator=(const CorvexRoute&) = delete;

    std::string open(UINT input, UINT output);
    void close();
    // Empties the main queue, as the application's monitor does.
    void drain();

private:
    uint64_t client_ = 0;
    HMIDIIN in_ = nullptr;
    HMIDIOUT out_ = nullptr;
};

} // namespace cvx::bench
