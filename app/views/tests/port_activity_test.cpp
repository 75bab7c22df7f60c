#include "views/port_activity.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace corvex {
namespace {

using Kind = ActivityRow::Kind;

TEST(PortActivity, RowsListTheOpenPortsUnderTheirTitles) {
    PortActivity activity;
    activity.setPorts({{0, "Keys"}, {11, "Pads"}}, {{2, "Synth"}});
    std::vector<std::string> texts;
    std::vector<int> devices;
    for (const auto& row : activity.rows()) {
        texts.push_back(row.text);
        devices.push_back(row.device);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Input Ports", "01) Keys", "12) Pads",
                                               "      Corvex Generated Event", "Output Ports",
                                               "03) Synth"}));
    EXPECT_EQ(devices, (std::vector<int>{-1, 0, 11, kGeneratedEventPort, -1, 2}));

    activity.setPorts({}, {});
    ASSERT_EQ(activity.rows().size(), 3u) << "two titles and the generated-event row";
    EXPECT_EQ(activity.rows()[1].kind, Kind::Input);
    EXPECT_EQ(activity.rows()[2].kind, Kind::Title);

    const auto captions = lampCaptions();
    ASSERT_EQ(captions.size(), 19u);
    EXPECT_EQ(captions[0], " 1");
    EXPECT_EQ(captions[15], "16");
    EXPECT_EQ(captions[16], "CM");
    EXPECT_EQ(captions[18], "SX");
}

// The engine side of the port status: inputs keep the class of their last event, outputs
// gather what they sent; a poll copies the record and clears the status words.
struct Traffic {
    uint32_t at; // ms after the start
    bool input;
    int device;
    uint32_t bits;
};

struct Expect {
    uint32_t at;
    int row; // rows: 0 title, 1 input 4, 2 generated, 3 title, 4 output 2
    int lamp;
    bool lit;
};

struct Scenario {
    const char* name;
    std::vector<Traffic> traffic;
    std::vector<Expect> expect;
    int maxTurnsOn; // how often lamp expect[0].lamp of row expect[0].row may light
};

constexpr uint32_t ch(int channel) {
    return 1u << (channel - 1);
}

std::vector<Traffic> every(uint32_t period, uint32_t from, uint32_t to, bool input, int device,
                           uint32_t bits) {
    std::vector<Traffic> all;
    for (uint32_t at = from; at <= to; at += period) {
        all.push_back({at, input, device, bits});
    }
    return all;
}

TEST(PortActivity, LampsLightFor100MsAfterTrafficOnEachClockBase) {
    const Scenario scenarios[] = {
        {"note on channel 3",
         {{5, true, 4, ch(3)}},
         {{0, 1, 0, false},
          {10, 1, 0, true},
          {10, 1, 3, true},
          {10, 1, 1, false},
          {100, 1, 3, true},
          {110, 1, 3, false},
          {110, 1, 0, false},
          {10, 4, 0, false}},
         1},
        {"active sensing every 300 ms blinks",
         every(300, 5, 905, true, 4, CVX_STATUS_REALTIME),
         {{10, 1, 18, true},
          {150, 1, 18, false},
          {290, 1, 18, false},
          {310, 1, 18, true},
          {450, 1, 18, false},
          {610, 1, 18, true}},
         4},
        {"a steady clock keeps its lamp lit",
         every(40, 5, 1205, false, 2, CVX_STATUS_REALTIME),
         {{10, 4, 18, true},
          {300, 4, 18, true},
          {1200, 4, 18, true},
          {1310, 4, 18, false},
          {600, 4, 0, true},
          {600, 4, 1, false}},
         1},
        {"SysEx lights common and SysEx",
         {{20, true, 4, CVX_STATUS_SYSTEM_COMMON | CVX_STATUS_SYSEX}},
         {{20, 1, 17, true}, {20, 1, 19, true}, {20, 1, 18, false}, {20, 1, 0, true}},
         1},
        {"a data byte without status lights only the traffic lamp",
         {{20, true, 4, CVX_STATUS_DATA_BYTE}},
         {{30, 1, 0, true}, {30, 1, 16, false}, {30, 1, 17, false}, {30, 1, 19, false}},
         1},
        {"generated events and an output channel",
         {{30, true, kGeneratedEventPort, ch(16)}, {30, false, 2, ch(10) | ch(1)}},
         {{30, 2, 16, true},
          {30, 4, 10, true},
          {30, 4, 1, true},
          {30, 4, 2, false},
          {30, 1, 0, false}},
         1},
        {"traffic on a port that is not shown lights nothing",
         {{30, true, 7, ch(1)}, {30, false, 4, ch(1)}},
         {{30, 1, 0, false}, {30, 4, 0, false}, {30, 1, 1, false}},
         0},
    };
    for (uint32_t base : {1000u, 0xFFFFFF00u}) { // the second crosses the clock's wrap
        for (const auto& scenario : scenarios) {
            PortActivity activity;
            activity.setPorts({{4, "In"}}, {{2, "Out"}});
            CPortStatus engine;
            std::memset(&engine, 0, sizeof engine);
            std::map<uint32_t, std::vector<std::vector<bool>>> seen; // tick -> row -> lamps
            std::size_t next = 0;
            int turnsOn = 0;
            const Expect& watched = scenario.expect.front();
            for (uint32_t tick = 0; tick <= 1500; tick += 10) {
                for (; next < scenario.traffic.size() && scenario.traffic[next].at <= tick;
                     ++next) {
                    const Traffic& t = scenario.traffic[next];
                    if (t.input) {
                        engine.inputTimes[t.device] = base + t.at;
                        engine.inputClasses[t.device] = t.bits;
                    } else {
                        engine.outputs[t.device].lastTime = base + t.at;
                        engine.outputs[t.device].statusBits |= t.bits;
                    }
                }
                const CPortStatus polled = engine;
                std::memset(engine.inputClasses, 0, sizeof engine.inputClasses);
                for (auto& output : engine.outputs) {
                    output.statusBits = 0;
                }
                for (const auto& change : activity.update(polled, base + tick)) {
                    EXPECT_NE(activity.rows()[change.row].kind, Kind::Title);
                    turnsOn +=
                        change.on && change.row == watched.row && change.lamp == watched.lamp;
                }
                auto& lamps = seen[tick];
                for (int row = 0; row < static_cast<int>(activity.rows().size()); ++row) {
                    lamps.emplace_back();
                    for (int lamp = 0; lamp < kLampCount; ++lamp) {
                        lamps.back().push_back(activity.lit(row, lamp));
                    }
                }
            }
            for (const auto& e : scenario.expect) {
                EXPECT_EQ(seen.at(e.at)[e.row][e.lamp], e.lit)
                    << scenario.name << ", base " << base << ": row " << e.row << " lamp " << e.lamp
                    << " at " << e.at;
            }
            EXPECT_EQ(turnsOn, scenario.maxTurnsOn) << scenario.name << ", base " << base;
        }
    }
}

TEST(PortActivity, NewPortsForgetTheLamps) {
    PortActivity activity;
    activity.setPorts({{4, "In"}}, {});
    CPortStatus status;
    std::memset(&status, 0, sizeof status);
    status.inputTimes[4] = 500;
    status.inputClasses[4] = ch(1);
    EXPECT_EQ(activity.update(status, 510), (std::vector<LampChange>{{1, 0, true}, {1, 1, true}}));
    activity.setPorts({{4, "In"}}, {{0, "Out"}});
    EXPECT_FALSE(activity.lit(1, 0));
    status.inputClasses[4] = 0;
    EXPECT_EQ(activity.update(status, 520), (std::vector<LampChange>{{1, 0, true}}))
        << "the traffic lamp follows the time alone";
}

} // namespace
} // namespace corvex
