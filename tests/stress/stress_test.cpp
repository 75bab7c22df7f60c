// A long run of mixed MIDI (short messages, realtime, SysEx up to 64 KB) from three loopback
// inputs through the filter, the global map and a route map into four outputs, while the
// application thread keeps replacing the filter, the maps and the port maps (with identical
// copies), attaching and detaching the input monitor, opening and closing ports, and
// unplugging and replugging a cable. At the end every output must have received exactly
// what its routes had to deliver, whole and in order; nothing fed to a closed port arrives;
// every SysEx buffer is back with its input. CVX_STRESS_MESSAGES sets the message count
// (the suite runs a short count; run it by hand with 1000000).
#include "core/client.h"
#include "core/engine_lock.h"
#include "cvxcore.h"
#include "input/input_buffer_lists.h"
#include "traffic_model.h"
#include "views/post_ring.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>

namespace cvx::stress {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kInputBuffers = 32;
constexpr uint16_t kBufferSize = 4096;
constexpr int kOutputBuffers = 64;
constexpr char kChurnCable[] = "Stress Churn";

uint32_t messageCount() {
    const char* value = std::getenv("CVX_STRESS_MESSAGES");
    return value != nullptr ? static_cast<uint32_t>(std::strtoul(value, nullptr, 10)) : 60000;
}

// The SysEx buffers the engine lent to the application's window, kept for the application
// thread (which drains the event queues on every round anyway).
corvex::PostRing<16384> posted;
void onPost(void*, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (msg == WM_CVX_SYSEXDATA) {
        posted.push(corvex::PostedMessage{msg, wParam, lParam});
    }
}

// Reads every checked output continuously, so no cable's buffer overflows.
class OutputReader {
public:
    void start() {
        thread_ = std::thread([this] {
            while (!stop_.load()) {
                if (!takeAll()) {
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                }
            }
            takeAll();
        });
    }
    void stop() {
        stop_ = true;
        thread_.join();
    }
    // The number of SysEx messages that ended at output 6 so far.
    uint32_t sysexEnded() const { return sysexEnded_.load(); }
    const Bytes& stream(int output) const { return streams_[output]; }

private:
    bool takeAll() {
        bool any = false;
        uint8_t chunk[8192];
        for (int device = kFirstOutput - 1; device < kFirstOutput + kOutputs; ++device) {
            unsigned count = 0;
            while ((count = vmidiTake(device, chunk, sizeof chunk)) > 0) {
                any = true;
                streams_[device].insert(streams_[device].end(), chunk, chunk + count);
                if (device == 6) {
                    sysexEnded_ += static_cast<uint32_t>(std::count(chunk, chunk + count, 0xF7));
                }
            }
        }
        return any;
    }

    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<uint32_t> sysexEnded_{0};
    Bytes streams_[kFirstOutput + kOutputs];
};

class StressTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("CORVEX_MIDI", "virtual", 1);
        setenv("CORVEX_LOOPBACKS", "8", 1);
    }

    void SetUp() override {
        ASSERT_EQ(vmidiAddCable(kChurnCable), 1);
        window_ = cvxWindowCreate(&onPost, nullptr);
        filter_.filterFlags = (1u << kFilteredChannel) | CVX_FILTER_DATA;
        client_ = m32CreateClient(window_, nullptr, &filter_);
        ASSERT_NE(client_, 0u);
        makeMaps();
        ASSERT_EQ(m32SendMap(client_, globalMap_), 1);
        for (int device = 0; device < kFeedingInputs; ++device) {
            ASSERT_EQ(vx16OpenMidiIn(&inputs_[device], static_cast<uint16_t>(device), client_), 0);
            for (int b = 0; b < kInputBuffers; ++b) {
                ASSERT_EQ(m32AllocSyxBufIn(inputs_[device], client_, kBufferSize), 1);
            }
        }
        for (int o = 0; o < kOutputs; ++o) {
            const int device = kFirstOutput + o;
            portMaps_[o] = portMapOf(device);
            ASSERT_EQ(vx16OpenMidiOut(&outputs_[o], static_cast<uint16_t>(device), 0, &portMaps_[o],
                                      client_),
                      0);
            for (int b = 0; b < kOutputBuffers; ++b) {
                m32AllocSyxBufOut(outputs_[o], client_, kBufferSize);
            }
        }
        ASSERT_EQ(m32SendPDMap(client_, 1, 5, routeMap_), 1);
        m32SendParms(client_, 0, 0);
        m32StartTimeStamp(client_);
        for (HMIDIIN in : inputs_) {
            m32StartMidiIn(in);
        }
    }

    void TearDown() override {
        for (HMIDIIN in : inputs_) {
            m32CloseMidiIn(in, client_);
        }
        for (HMIDIOUT out : outputs_) {
            m32CloseMidiOut(out, client_);
        }
        m32DestroyClient(client_);
        cvxWindowDestroy(window_);
        vmidiRemoveCable(kChurnCable);
    }

    static CPortMap portMapOf(int output) {
        CPortMap map{};
        for (int input : {0, 1, 2, static_cast<int>(kChurnInput)}) {
            const uint32_t mask = routeMask(output, input);
            if (mask != 0) {
                map.inputBits[input / 32] |= 1u << (input % 32);
                map.inputMasks[input] = mask;
            }
        }
        return map;
    }

    static MapItem anyItem(uint8_t from, uint8_t to) {
        MapItem item{};
        item.sourceChannel = item.targetChannel = 0xFF;
        item.sourceMessage = from;
        item.targetMessage = to;
        item.sourceV1Min = item.sourceV1Max = item.sourceV2Min = item.sourceV2Max = 0xFFFF;
        item.targetV1Min = item.targetV1Max = item.targetV2Min = item.targetV2Max = 0xFFFF;
        return item;
    }

    void makeMaps() {
        globalItem_ = anyItem(MAP_CTRL, MAP_CTRL);
        globalItem_.sourceV1Min = globalItem_.sourceV1Max = 20;
        globalItem_.targetV1Min = globalItem_.targetV1Max = 21;
        globalMap_ = SMapper{};
        globalMap_.mapIsOn = 1;
        globalMap_.itemCount = 1;
        globalMap_.items = &globalItem_;
        routeItem_ = anyItem(MAP_NOTE_ON, MAP_KEY_AFT);
        routeMap_ = SMapper{};
        routeMap_.mapIsOn = 1;
        routeMap_.itemCount = 1;
        routeMap_.items = &routeItem_;
    }

    // The application thread's share: hand lent buffers back, drain the queues.
    void serveWindow() {
        corvex::PostedMessage message;
        while (posted.pop(message)) {
            if (message.msg == WM_CVX_SYSEXDATA) {
                EXPECT_EQ(m32RetBuf(reinterpret_cast<HMIDIIN>(message.wParam),
                                    static_cast<uint64_t>(message.lParam)),
                          0u);
            }
        }
        EVENT event;
        while (m32GetEvent(client_, &event, MON_MAIN) != 0) {
        }
        while (m32GetEvent(client_, &event, MON_RAW_INPUT) != 0) {
        }
    }

    void feedInput(int input, uint32_t count) {
        Bytes batch;
        for (uint32_t sequence = 0; sequence < count; ++sequence) {
            const Bytes message = messageOf(input, sequence);
            if (message.front() == 0xF0) {
                feed(input, batch);
                feedSysEx(input, message);
                continue;
            }
            batch.insert(batch.end(), message.begin(), message.end());
            if (batch.size() >= 192) {
                feed(input, batch);
            }
        }
        feed(input, batch);
    }

    static void feed(int input, Bytes& bytes) {
        if (!bytes.empty()) {
            vmidiFeed(static_cast<unsigned>(input), bytes.data(),
                      static_cast<unsigned>(bytes.size()));
            bytes.clear();
        }
    }

    // A SysEx leaves through the output pump after the short messages that follow it would
    // have been sent at once, as a device could not send them before the dump ends: wait
    // until the dump is through.
    void feedSysEx(int input, const Bytes& message) {
        vmidiFeed(static_cast<unsigned>(input), message.data(),
                  static_cast<unsigned>(message.size()));
        const uint32_t expected = ++sysexFed_;
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (reader_.sysexEnded() < expected && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        if (reader_.sysexEnded() < expected) {
            sysexTimedOut_ = true;
        }
    }

    // One change of the configuration, chosen by `step`.
    void churn(uint32_t step) {
        switch (step % 7) {
        case 0:
            m32SendFilter(client_, &filter_);
            break;
        case 1: {
            MapItem copy = globalItem_;
            SMapper map = globalMap_;
            map.items = &copy;
            m32SendMap(client_, map);
            break;
        }
        case 2:
            m32SendPDMap(client_, 1, 5, routeMap_);
            break;
        case 3: {
            const int o = static_cast<int>(step / 7 % kOutputs);
            m32UpdPortMap(client_, static_cast<uint16_t>(kFirstOutput + o), &portMaps_[o]);
            break;
        }
        case 4:
            if (step % 2 == 0) {
                m32AttachRawMonitor(client_, window_);
            } else {
                m32DetachRawMonitor(client_);
            }
            break;
        case 5:
            churnSpareOutput(step);
            break;
        default:
            churnCable(step);
            break;
        }
    }

    // Output 3 (unchecked) opened and closed while input 0 is routed to it.
    void churnSpareOutput(uint32_t step) {
        if (spare_ == nullptr) {
            CPortMap map = portMapOf(4);
            vx16OpenMidiOut(&spare_, 3, 0, &map, client_);
        } else if (step % 3 == 0) {
            m32CloseMidiOut(spare_, client_);
            spare_ = nullptr;
        }
    }

    // The churn cable's input: opened, fed, closed (or unplugged while open), fed while
    // closed, then unplugged and plugged in again.
    void churnCable(uint32_t step) {
        HMIDIIN in = nullptr;
        if (vx16OpenMidiIn(&in, kChurnInput, client_) != 0) {
            return;
        }
        m32StartMidiIn(in);
        Bytes bytes;
        for (int i = 0; i < 16; ++i) {
            const auto channel = static_cast<uint8_t>(firstChannelOf(2) + churnSent_ % 5);
            bytes.insert(bytes.end(),
                         {static_cast<uint8_t>(0x90 | channel),
                          static_cast<uint8_t>(churnSent_ & 0x7F), static_cast<uint8_t>(64)});
            ++churnSent_;
        }
        vmidiFeed(kChurnInput, bytes.data(), static_cast<unsigned>(bytes.size()));
        vmidiSettle();
        const bool unplugWhileOpen = step % 2 == 0;
        if (unplugWhileOpen) {
            vmidiRemoveCable(kChurnCable);
        }
        m32CloseMidiIn(in, client_);
        if (!unplugWhileOpen) {
            const uint8_t marker[] = {static_cast<uint8_t>(0xB0 | firstChannelOf(2)), kClosedMarker,
                                      1};
            vmidiFeed(kChurnInput, marker, sizeof marker);
            vmidiSettle();
            vmidiRemoveCable(kChurnCable);
        }
        vmidiAddCable(kChurnCable);
    }

    size_t buffersBackWithInput(HMIDIIN input) {
        core::EngineGuard guard(core::engineLock());
        core::CvxClient* client = core::clientFromHandle(client_);
        const core::InputBufferList* list = input::findBufferList(client->inputs, input);
        size_t count = 0;
        for (const core::SysExBuffer* b = list != nullptr ? list->head : nullptr; b != nullptr;
             b = b->next) {
            count += !b->withApplication && (b->header.dwFlags & MHDR_INQUEUE) != 0 ? 1 : 0;
        }
        return count;
    }

    void checkOutputs() {
        const uint32_t perInput = messageCount() / kFeedingInputs;
        for (int o = 0; o < kOutputs; ++o) {
            const int device = kFirstOutput + o;
            std::vector<Bytes> messages;
            size_t realtime = 0;
            ASSERT_TRUE(splitMessages(reader_.stream(device), messages, realtime))
                << "output " << device << " received a broken message";
            std::vector<Bytes> byInput[kFeedingInputs];
            std::vector<Bytes> churn;
            for (Bytes& message : messages) {
                const int input = message.front() == 0xF0 ? 2 : inputOfChannel(message[0] & 0x0F);
                ASSERT_GE(input, 0) << "output " << device << ": a filtered message arrived";
                (device == 7 && input == 2 ? churn : byInput[input]).push_back(std::move(message));
            }
            size_t expectedRealtime = 0;
            for (int input = 0; input < kFeedingInputs; ++input) {
                std::vector<Bytes> expected;
                for (uint32_t sequence = 0; sequence < perInput; ++sequence) {
                    const Bytes message = messageOf(input, sequence);
                    Bytes delivered = deliveredAt(device, input, message);
                    if (delivered.empty()) {
                        continue;
                    }
                    if (delivered.front() == 0xF8) {
                        ++expectedRealtime;
                    } else {
                        expected.push_back(std::move(delivered));
                    }
                }
                ASSERT_EQ(byInput[input].size(), expected.size())
                    << "output " << device << " from input " << input;
                for (size_t i = 0; i < expected.size(); ++i) {
                    ASSERT_EQ(byInput[input][i], expected[i])
                        << "output " << device << " from input " << input << ", message " << i;
                }
            }
            EXPECT_EQ(realtime, expectedRealtime) << "output " << device;
            if (device == 7) {
                checkChurn(churn);
            }
        }
    }

    void checkChurn(const std::vector<Bytes>& churn) {
        ASSERT_EQ(churn.size(), churnSent_) << "what the churn cable carried while open";
        for (size_t i = 0; i < churn.size(); ++i) {
            ASSERT_EQ(churn[i][0] & 0xF0, 0x90) << "a message fed to a closed input arrived";
            ASSERT_EQ(churn[i][1], i & 0x7F) << "churn message " << i << " out of order";
        }
    }

    CFilter filter_{};
    MapItem globalItem_{};
    MapItem routeItem_{};
    SMapper globalMap_{};
    SMapper routeMap_{};
    CPortMap portMaps_[kOutputs]{};
    HWND window_ = nullptr;
    uint64_t client_ = 0;
    HMIDIIN inputs_[kFeedingInputs] = {};
    HMIDIOUT outputs_[kOutputs] = {};
    HMIDIOUT spare_ = nullptr;
    OutputReader reader_;
    std::atomic<uint32_t> sysexFed_{0};
    std::atomic<bool> sysexTimedOut_{false};
    uint32_t churnSent_ = 0;
};

TEST_F(StressTest, EveryRoutedMessageArrivesWholeAndInOrderWhileTheConfigurationChurns) {
    reader_.start();
    std::atomic<int> feedersRunning{kFeedingInputs};
    std::vector<std::thread> feeders;
    for (int input = 0; input < kFeedingInputs; ++input) {
        feeders.emplace_back([this, input, &feedersRunning] {
            feedInput(input, messageCount() / kFeedingInputs);
            --feedersRunning;
        });
    }
    // The configuration churns for as long as the feeders run, and through every kind of
    // change several times over even when feeding finishes early.
    constexpr uint32_t kMinChurnSteps = 100;
    uint32_t step = 0;
    while (feedersRunning.load() > 0 || step < kMinChurnSteps) {
        serveWindow();
        churn(step++);
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    for (auto& feeder : feeders) {
        feeder.join();
    }
    if (spare_ != nullptr) {
        m32CloseMidiOut(spare_, client_);
        spare_ = nullptr;
    }
    // Everything fed has been parsed, routed and pumped; the lent buffers are back.
    for (int round = 0; round < 20; ++round) {
        vmidiSettle();
        serveWindow();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    reader_.stop();
    EXPECT_FALSE(sysexTimedOut_.load()) << "a SysEx dump did not get through in time";
    EXPECT_EQ(posted.dropped(), 0u);
    for (HMIDIIN in : inputs_) {
        EXPECT_EQ(buffersBackWithInput(in), static_cast<size_t>(kInputBuffers));
    }
    checkOutputs();
}

} // namespace
} // namespace cvx::stress
