// Lateness of the player's events at the loopback cable's input.
//
// The file: 16 channels, each playing a note (On, then Off 8 ms later) every 16 ms, one
// message every half millisecond: 2,000 short messages a second in an even stream. The sequencer
// plays it to "Corvex Loopback 1"; the cable's input callback (on the service's input thread)
// stamps each message with the service clock. A message's due time is the service-clock time at
// which playing started plus its time in the file; messages arrive in the order they were sent, so
// the k-th arrival is the k-th event.
//
// Reports the median, 99th percentile and maximum lateness (negative: up to half a timer
// tick early, as an event goes out on the tick nearest its time), and the drift: the median
// lateness of the last second minus that of the first.
#include "platform/midi_service.h"
#include "platform/service_clock.h"
#include "sequencer/sequencer.h"
#include "smf/smf_reader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr int kChannels = 16;
constexpr int kStepTicks = 32; // ticks of 0.5 ms: one note per channel every 16 ms

void putVarLen(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[4];
    int count = 0;
    do {
        bytes[count++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    while (count > 0) {
        --count;
        out.push_back(static_cast<uint8_t>(bytes[count] | (count > 0 ? 0x80 : 0)));
    }
}

void putBe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

// 1000 ticks per quarter at 500,000 microseconds per quarter: a tick is 0.5 ms.
std::vector<uint8_t> denseFile(int seconds) {
    std::vector<uint8_t> body = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
    int steps = seconds * 1000 / 16;
    uint32_t lastTick = 0;
    auto put = [&](uint32_t tick, uint8_t status, uint8_t key, uint8_t velocity) {
        putVarLen(body, tick - lastTick);
        lastTick = tick;
        body.insert(body.end(), {status, key, velocity});
    };
    // Per step: the Note On of channel k at tick k, its Note Off at tick 16 + k.
    for (int step = 0; step < steps; ++step) {
        for (int half = 0; half < 2; ++half) {
            for (int channel = 0; channel < kChannels; ++channel) {
                uint32_t tick =
                    static_cast<uint32_t>(step * kStepTicks + half * kStepTicks / 2 + channel);
                uint8_t key = static_cast<uint8_t>(36 + (step + channel) % 48);
                uint8_t status = static_cast<uint8_t>((half == 0 ? 0x90 : 0x80) | channel);
                put(tick, status, key, half == 0 ? 100 : 0);
            }
        }
    }
    body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd',  0,    0,   0,   6,   0,
                                 0,   0,   1,   0x03, 0xE8, 'M', 'T', 'r', 'k'};
    putBe32(file, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

struct Arrivals {
    std::vector<int64_t> ns; // preallocated: the callback never allocates
    std::atomic<size_t> count{0};

    static void callback(HMIDIIN, UINT msg, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
        if (msg != MIM_DATA) {
            return;
        }
        auto* self = reinterpret_cast<Arrivals*>(instance);
        size_t index = self->count.load(std::memory_order_relaxed);
        if (index < self->ns.size()) {
            self->ns[index] = cvx::platform::clock::nowNs();
        }
        self->count.store(index + 1, std::memory_order_release);
    }
};

std::atomic<bool> gEnded{false};
std::atomic<int64_t> gEndNs{0};

void onEnd(void*) {
    gEndNs.store(cvx::platform::clock::nowNs());
    gEnded.store(true);
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

} // namespace

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    auto list = std::make_shared<const corvex::smf::PlayList>(
        corvex::smf::PlayList::fromFile(corvex::smf::readMidiFile(denseFile(seconds))));
    const auto& events = list->events();

    Arrivals arrivals;
    arrivals.ns.resize(events.size());
    HMIDIIN in = nullptr;
    if (midiInOpen(&in, 0, reinterpret_cast<DWORD_PTR>(&Arrivals::callback),
                   reinterpret_cast<DWORD_PTR>(&arrivals), CALLBACK_FUNCTION) != MMSYSERR_NOERROR ||
        midiInStart(in) != MMSYSERR_NOERROR) {
        std::fprintf(stderr, "tunelet_timing: cannot open the loopback input\n");
        return 1;
    }
    corvex::Sequencer sequencer(&onEnd, nullptr);
    if (sequencer.openPort(0) != MMSYSERR_NOERROR) {
        std::fprintf(stderr, "tunelet_timing: cannot open the loopback output\n");
        return 1;
    }
    sequencer.load(list);
    int64_t startNs = cvx::platform::clock::nowNs();
    sequencer.play();
    while (!gEnded.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    int64_t endNs = gEndNs.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    midiInStop(in);
    midiInClose(in);
    sequencer.closePort();
    cvx::platform::MidiService::restartWith({}); // a JACK client leaves its server in order

    size_t received = std::min(arrivals.count.load(std::memory_order_acquire), events.size());
    std::vector<double> lateMs, firstSecond, lastSecond;
    int64_t lastStartUs = list->lengthMicroseconds() - 1000000;
    for (size_t k = 0; k < received; ++k) {
        double late =
            static_cast<double>(arrivals.ns[k] - startNs - events[k].timeMicroseconds * 1000) / 1e6;
        lateMs.push_back(late);
        if (events[k].timeMicroseconds < 1000000) {
            firstSecond.push_back(late);
        }
        if (events[k].timeMicroseconds >= lastStartUs) {
            lastSecond.push_back(late);
        }
    }
    std::printf("tunelet_timing: %d s, %zu events, %zu received (%.0f events/s)\n", seconds,
                events.size(), received, static_cast<double>(events.size()) / seconds);
    if (lateMs.empty() || firstSecond.empty() || lastSecond.empty()) {
        return 1;
    }
    std::printf("lateness ms: median %.3f  p99 %.3f  max %.3f  min %.3f\n", percentile(lateMs, 0.5),
                percentile(lateMs, 0.99), percentile(lateMs, 1.0), percentile(lateMs, 0.0));
    const double drift = percentile(lastSecond, 0.5) - percentile(firstSecond, 0.5);
    std::printf("drift ms (median of the last second - median of the first): %.3f\n", drift);
    std::printf("end of play notified %.3f ms after the file's length\n",
                static_cast<double>(endNs - startNs) / 1e6 -
                    static_cast<double>(list->lengthMicroseconds()) / 1e3);
    // The same figures for the benchmark runner (scripts/bench).
    std::printf("BENCH\tPlayer lateness median\t%.3f\t-\tms\t-\n", percentile(lateMs, 0.5));
    std::printf("BENCH\tPlayer lateness p99\t%.3f\t-\tms\t-\n", percentile(lateMs, 0.99));
    std::printf("BENCH\tPlayer lateness max\t%.3f\t-\tms\t-\n", percentile(lateMs, 1.0));
    std::printf("BENCH\tPlayer drift over the file\t%.3f\t-\tms\t-\n", drift);
    std::printf("BENCH\tPlayer events lost\t%zu\t-\tevents\t0\n", events.size() - received);
    return received == events.size() ? 0 : 1;
}
