// The example scripts of examples/lua, loaded as a user loads them, transforming messages fed
// on the loopback input (as the output cable receives them) and answering their commands.
#include "lua_loopback_rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace corvex::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

using Bytes = std::vector<uint8_t>;

std::string example(const char* name) {
    return std::string(CVX_EXAMPLE_SCRIPTS) + "/" + name;
}

class ExampleScriptsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.ready());
        rig.engine().setTimerControl([this](int ms) { timerPeriod = ms; });
    }

    void load(const char* name) {
        ASSERT_TRUE(rig.engine().load(example(name)));
        ASSERT_TRUE(rig.engine().active());
        rig.reattach();
    }

    LuaLoopbackRig rig;
    int timerPeriod = 0;
};

struct Step {
    const char* command; // typed first, when not null
    Bytes input;
    Bytes output;
};

struct ExampleCase {
    const char* script;
    std::vector<Step> steps;
};

TEST_F(ExampleScriptsTest, EachExampleTransformsWhatItIsFed) {
    const ExampleCase cases[] = {
        {"transpose.lua",
         {
             {nullptr, {0x90, 60, 100}, {0x90, 72, 100}},
             {"transpose -5", {0x91, 64, 90}, {0x91, 59, 90}},
             // Released after the change: the octave-up note ends where it sounds.
             {nullptr, {0x80, 60, 0, 0x91, 64, 0}, {0x80, 72, 0, 0x91, 59, 0}},
             {nullptr, {0xB0, 64, 127}, {0xB0, 64, 127}},
             {"transpose 100", {0x90, 60, 1, 0x80, 60, 0}, {0x80, 60, 0}},
         }},
        {"keyboard_split.lua",
         {
             {nullptr, {0x90, 59, 80, 0x90, 60, 81}, {0x91, 59, 80, 0x90, 60, 81}},
             {"split E 4", {0x90, 63, 82}, {0x91, 63, 82}},
             {"upper 10", {0x80, 70, 0}, {0x89, 70, 0}},
             {nullptr, {0xE0, 0, 64}, {0xE0, 0, 64}},
         }},
        {"velocity_curve.lua",
         {
             {nullptr, {0x90, 60, 32}, {0x90, 60, 56}},
             {nullptr, {0x90, 60, 127, 0x80, 60, 40}, {0x90, 60, 127, 0x80, 60, 40}},
             {"curve 2", {0x90, 60, 64}, {0x90, 60, 32}},
             {nullptr, {0x90, 60, 1}, {0x90, 60, 1}},
         }},
    };
    for (const ExampleCase& c : cases) {
        SCOPED_TRACE(c.script);
        load(c.script);
        for (const Step& step : c.steps) {
            if (step.command != nullptr) {
                rig.lines().clear();
                EXPECT_TRUE(rig.engine().command(step.command));
                EXPECT_EQ(rig.lines().size(), 1u) << step.command << " answers in one line";
            }
            EXPECT_EQ(rig.feed(step.input), step.output);
        }
        EXPECT_FALSE(rig.lines().empty());
        EXPECT_THAT(rig.lines(), ::testing::Not(Contains(HasSubstr("[ERR]"))));
    }
}

TEST_F(ExampleScriptsTest, TheArpeggiatorPlaysHeldKeysOnTheTimer) {
    load("arpeggiator.lua");
    EXPECT_EQ(timerPeriod, 125);
    EXPECT_EQ(rig.feed({0x92, 64, 90, 0x92, 60, 100}), Bytes{}) << "held keys do not sound";
    const Bytes steps[] = {
        {0x92, 60, 100},
        {0x82, 60, 0, 0x92, 64, 90},
        {0x82, 64, 0, 0x92, 60, 100},
    };
    for (const Bytes& expected : steps) {
        rig.engine().timerTick();
        EXPECT_EQ(rig.feed({}), expected);
    }
    EXPECT_EQ(rig.feed({0x82, 60, 0, 0x92, 64, 0}), Bytes{});
    rig.engine().timerTick();
    EXPECT_EQ(rig.feed({}), (Bytes{0x82, 60, 0})) << "released: the last step ends";
    EXPECT_TRUE(rig.engine().command("rate 40"));
    EXPECT_EQ(timerPeriod, 40);
    EXPECT_EQ(rig.feed({0x90, 50, 70}), Bytes{});
    rig.engine().timerTick();
    EXPECT_EQ(rig.feed({}), (Bytes{0x90, 50, 70}));
    rig.engine().unload();
    EXPECT_EQ(rig.feed({}), (Bytes{0x80, 50, 0})) << "unloading silences the sounding step";
    EXPECT_EQ(timerPeriod, 0);
}

TEST_F(ExampleScriptsTest, TheSysExRequestAsksEveryDeviceOrOne) {
    const Bytes all{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    const Bytes sixteen{0xF0, 0x7E, 0x10, 0x06, 0x01, 0xF7};
    auto output = [this](size_t count) {
        Bytes bytes;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
            const Bytes more = rig.takeOutput();
            bytes.insert(bytes.end(), more.begin(), more.end());
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return bytes;
    };
    load("sysex_request.lua");
    EXPECT_EQ(output(all.size()), all);
    EXPECT_THAT(rig.lines(), ElementsAre("Identity Request sent to all devices"));
    EXPECT_TRUE(rig.engine().command("identify 16"));
    EXPECT_EQ(output(sixteen.size()), sixteen);
    rig.lines().clear();
    EXPECT_TRUE(rig.engine().command("identify 300"));
    EXPECT_THAT(rig.lines(), ElementsAre(HasSubstr("from 1 to 127")));
    EXPECT_EQ(output(1), Bytes{});
}

} // namespace
} // namespace corvex::testing
