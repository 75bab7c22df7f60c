// MIDI endpoints of the ALSA sequencer: every port of another client that can be subscribed
// to for reading is an input, every one that can be subscribed to for writing an output.
// Opening an endpoint creates a port of Corvex's own client connected to it; a reader thread
// (at real-time priority where the system allows it) hands incoming events to the inputs'
// sinks and turns client and port announcements into endpoint changes.
//
// Nothing on the send and receive paths waits or allocates. The sequencer is opened
// non-blocking: an output whose destination is full fails the send at once with
// MIDIERR_NOTREADY and counts an overrun (outputOverruns()). When the client's input pool
// overran, the kernel drops what it held without saying for which port or how many, so
// every open input counts one lost delivery (InputSink::countOverrun).
//
// Threads: start() and stop() from one thread, not concurrently with anything else; the
// other calls from any thread.
#pragma once

#include "alsa_endpoint_keys.h"
#include "alsa_port_filter.h"
#include "platform/midi_backend.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace cvx::platform {

class AlsaBackend final : public MidiBackend {
public:
    AlsaBackend() = default;
    AlsaBackend(const AlsaBackend&) = delete;
    AlsaBackend& operator=(const AlsaBackend&) = delete;
    ~AlsaBackend() override;

    const char* name() const override { return "alsa"; }
    bool start(BackendHost& host) override;
    void stop() override;

    std::vector<EndpointInfo> inputs() override;
    std::vector<EndpointInfo> outputs() override;

    MMRESULT openInput(uint64_t key, InputSink& sink) override;
    void closeInput(uint64_t key) override;
    MMRESULT openOutput(uint64_t key) override;
    void closeOutput(uint64_t key) override;

    MMRESULT send(uint64_t key, const uint8_t* bytes, size_t length) override;
    bool carriesRunningStatus() const override { return false; }
    bool sendNeverBlocks() const override { return true; }

    // Sends to the output `key` that failed because its destination was full, since the
    // output was first opened after start() (kept across closing and reopening); 0 for an
    // output never opened.
    uint64_t outputOverruns(uint64_t key);

private:
    // One open endpoint: the port of our own client connected to it.
    struct Connection {
        int ownPort = -1; // -1 while the connection is being made
        bool vanished = false;
    };
    using OverrunCounter = std::atomic<uint64_t>;
    using DeviceTest = bool (*)(const AlsaPortFacts&, int ownClient);
    using ConnectionTable = std::map<uint64_t, Connection>;

    void closeSequencer();
    std::vector<AlsaPortFacts> foreignPorts();
    std::vector<EndpointInfo> endpoints(DeviceTest isDevice);
    std::optional<std::string> endpointName(uint64_t key, DeviceTest isDevice);
    int createOwnPort(unsigned capability, const std::string& portName);
    MMRESULT reserve(ConnectionTable& table, uint64_t key);
    void release(ConnectionTable& table, uint64_t key);
    std::optional<Connection> take(ConnectionTable& table, uint64_t key);
    int writeEvent(snd_seq_event_t& event, int ownPort);

    void readEvents();
    void drainEvents();
    void deliver(const snd_seq_event_t& event);
    void countInputOverrun();
    bool noteAnnouncement(const snd_seq_event_t& event);
    void markVanished(int client, std::optional<int> port);

    snd_seq_t* seq_ = nullptr;
    int ownClient_ = -1;
    int announcePort_ = -1;
    int wakeFd_ = -1;
    BackendHost* host_ = nullptr;
    std::thread reader_;

    std::mutex tablesMutex_; // keys_, inputs_, outputs_, the map outputOverruns_
    AlsaEndpointKeys keys_;
    ConnectionTable inputs_;
    ConnectionTable outputs_;
    // Entries are made at the first opening of an output and live until stop(), so a send
    // counts through its pointer after letting go of the lock.
    std::map<uint64_t, std::unique_ptr<OverrunCounter>> outputOverruns_;

    std::mutex sendMutex_; // the library's output buffer: one event written at a time

    std::mutex sinksMutex_; // held while a sink runs
    std::map<int, InputSink*> sinksByOwnPort_;
};

} // namespace cvx::platform
