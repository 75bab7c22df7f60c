// Messages through a Lua script, the way the program runs it: a message fed on loopback
// input 0 is diverted into the Lua queue, the engine posts a script-input notice, the
// script's thread (here the main thread, as the user-interface thread in the program) pumps
// the queue through onMidi of the transposing example script, and what the script passes on
// is routed to loopback output 1. Measured:
// - latency from the feed to the output tap, one message at a time (p50, p99), against the
//   same message routed without a script;
// - messages per second through the script, fed in blocks, against the same without a script.
// Usage: lua_latency [probes] [messages]
#include "bench_line.h"
#include "jitter_stats.h"
#include "lua/engine_lua_host.h"
#include "lua/lua_script_engine.h"
#include "support/isolated_home.h"

#include "cvxlib.h"
#include "vmidi.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr uint16_t kInput = 0;
constexpr uint16_t kOutput = 1;
constexpr uint32_t kGeneratedPort = 135;
constexpr uint32_t kAllMessages = 0x7FFFF;
constexpr int kDefaultProbes = 3000;
constexpr int kDefaultMessages = 200000;
constexpr int kBlock = 128; // messages fed at once in the throughput run
constexpr int64_t kGiveUpNs = 1'000'000'000;

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               SteadyClock::now().time_since_epoch())
        .count();
}

std::atomic<int> scriptNotices{0};

void countNotice(void*, uint32_t msg, uintptr_t, intptr_t) {
    if (msg == WM_CVX_SCRIPTINPUT) {
        scriptNotices.fetch_add(1);
    }
}

// One engine client with input 0 open and routed, with the generated-event port, to output
// 1, and a script engine on it; with `divert` set the input goes through the script.
class ScriptPath {
public:
    ScriptPath()
        : host_(0,
                [](bool inputs) {
                    return std::map<int, std::string>{
                        {inputs ? kInput : kOutput, inputs ? "Loopback In" : "Loopback Out"}};
                }),
          engine_(host_) {
        InitCallBack();
        mainTarget_ = cvxWindowCreate([](void*, uint32_t, uintptr_t, intptr_t) {}, nullptr);
        scriptTarget_ = cvxWindowCreate(countNotice, nullptr);
        CFilter filter{};
        client_ = CreateClient(mainTarget_, nullptr, &filter);
        host_.setClient(client_);
        CPortMap map{};
        for (uint32_t from : {uint32_t{kInput}, kGeneratedPort}) {
            map.inputBits[from / 32] |= 1u << (from % 32);
            map.inputMasks[from] = kAllMessages;
        }
        if (client_ == 0 || OpenMidiIn(&input_, kInput, client_) != MMSYSERR_NOERROR ||
            OpenMidiOut(&output_, kOutput, 0, &map, client_) != MMSYSERR_NOERROR) {
            return;
        }
        StartTimeStamp(client_);
        StartMidiIn(input_);
        engine_.setOutputSink([](std::string_view) {});
        ready_ = engine_.load(CVX_TRANSPOSE_SCRIPT);
    }
    ~ScriptPath() {
        engine_.unload();
        if (client_ != 0) {
            DetachLua(client_);
            if (input_ != nullptr) {
                CloseMidiIn(input_, client_);
            }
            if (output_ != nullptr) {
                CloseMidiOut(output_, client_);
            }
            vmidiSettle();
            DestroyClient(client_);
        }
        cvxWindowDestroy(scriptTarget_);
        cvxWindowDestroy(mainTarget_);
        FreeCallBack();
    }
    ScriptPath(const ScriptPath&) = delete;
    ScriptPath& operator=(const ScriptPath&) = delete;

    bool ready() const { return ready_; }

    void divert(bool on) {
        DetachLua(client_);
        AttachLua(client_, scriptTarget_, on ? 1 : 0);
        diverted_ = on;
        drain();
    }

    // Feeds one note and waits, pumping the script on every notice, until the output shows
    // bytes: the nanoseconds it took, or -1 when nothing came.
    int64_t probe(uint8_t key) {
        const uint8_t note[] = {0x90, key, 100};
        int seen = scriptNotices.load();
        const int64_t sent = nowNs();
        vmidiFeed(kInput, note, sizeof note);
        uint8_t buffer[64];
        while (vmidiTake(kOutput, buffer, sizeof buffer) == 0) {
            if (nowNs() - sent > kGiveUpNs) {
                return -1;
            }
            if (diverted_ && scriptNotices.load() != seen) {
                seen = scriptNotices.load();
                engine_.pumpInput();
            }
        }
        return nowNs() - sent;
    }

    // Feeds `messages` notes in blocks, pumping between blocks; returns the messages that
    // reached the output and sets `seconds` to the time it took.
    int64_t stream(int messages, double& seconds) {
        std::vector<uint8_t> block;
        for (int i = 0; i < kBlock; ++i) {
            const auto key = static_cast<uint8_t>(36 + i % 48);
            block.insert(block.end(), {0x90, key, static_cast<uint8_t>(i % 2 ? 0 : 90)});
        }
        int64_t bytes = 0;
        const auto started = SteadyClock::now();
        for (int fed = 0; fed < messages; fed += kBlock) {
            vmidiFeed(kInput, block.data(), static_cast<unsigned>(block.size()));
            vmidiSettle();
            if (diverted_) {
                engine_.pumpInput();
            }
            bytes += drain();
        }
        vmidiSettle();
        bytes += drain();
        seconds = std::chrono::duration<double>(SteadyClock::now() - started).count();
        return bytes / 3;
    }

private:
    int64_t drain() {
        int64_t total = 0;
        uint8_t buffer[4096];
        while (const unsigned got = vmidiTake(kOutput, buffer, sizeof buffer)) {
            total += got;
        }
        return total;
    }

    corvex::EngineLuaHost host_;
    corvex::LuaScriptEngine engine_;
    HWND mainTarget_ = nullptr;
    HWND scriptTarget_ = nullptr;
    uint64_t client_ = 0;
    HMIDIIN input_ = nullptr;
    HMIDIOUT output_ = nullptr;
    bool ready_ = false;
    bool diverted_ = false;
};

struct Latencies {
    std::vector<int64_t> ns;
    int lost = 0;
};

Latencies measure(ScriptPath& path, int probes) {
    Latencies result;
    for (int i = 0; i < probes; ++i) {
        const int64_t took = path.probe(static_cast<uint8_t>(48 + i % 24));
        if (took < 0) {
            ++result.lost;
        } else {
            result.ns.push_back(took);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200 + (i * 7919) % 500));
    }
    return result;
}

void printRow(const char* what, const cvx::bench::ErrorSummary& s) {
    std::printf("  %-34s n=%5zu  median %8.1f us  p99 %8.1f us  max %8.1f us\n", what, s.count,
                s.medianUs, s.p99Us, s.maxUs);
}

} // namespace

int main(int argc, char** argv) {
    cvx::testing::ScopedIsolatedHome home;
    setenv("CORVEX_MIDI", "virtual", 1);
    const int probes = argc > 1 ? std::atoi(argv[1]) : kDefaultProbes;
    const int messages = argc > 2 ? std::atoi(argv[2]) : kDefaultMessages;
    ScriptPath path;
    if (!path.ready() || probes <= 0 || messages <= 0) {
        std::fprintf(stderr, "usage: lua_latency [probes] [messages]; the loopback cables or "
                             "the script could not be opened\n");
        return 1;
    }

    path.divert(false);
    const Latencies direct = measure(path, probes);
    double directSeconds = 0;
    const int64_t directOut = path.stream(messages, directSeconds);

    path.divert(true);
    const Latencies scripted = measure(path, probes);
    double scriptSeconds = 0;
    const int64_t scriptOut = path.stream(messages, scriptSeconds);

    const cvx::bench::ErrorSummary withScript = cvx::bench::summarise(scripted.ns);
    const cvx::bench::ErrorSummary without = cvx::bench::summarise(direct.ns);
    const double scriptRate = double(scriptOut) / scriptSeconds;
    const double directRate = double(directOut) / directSeconds;
    std::printf("%d probes each way, %d lost; %d messages streamed each way\n", probes,
                scripted.lost + direct.lost, messages);
    printRow("feed -> onMidi (transpose) -> tap", withScript);
    printRow("feed -> routed -> tap (no script)", without);
    std::printf("  through the script %.0f messages/s (%lld out), without %.0f messages/s\n",
                scriptRate, static_cast<long long>(scriptOut), directRate);
    cvx::bench::printBenchLine("Lua onMidi latency median", withScript.medianUs, without.medianUs,
                               "us", "-");
    cvx::bench::printBenchLine("Lua onMidi latency p99", withScript.p99Us, without.p99Us, "us",
                               "<= 1000 us");
    cvx::bench::printBenchLine("Lua transpose throughput", scriptRate, directRate, "messages/s",
                               ">= 50000");
    const int64_t fed = (int64_t{messages} + kBlock - 1) / kBlock * kBlock;
    const bool complete = scripted.lost + direct.lost == 0 && scriptOut == fed;
    return complete ? 0 : 1;
}
