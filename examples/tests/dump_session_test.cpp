// corvex-dump's session on a loopback cable: the header, one monitor line per event, SysEx
// as byte lines, lent buffers given back, and an input that will not open.
#include "corvex-dump/dump_session.h"
#include "virtual_devices.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace corvex::examples {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

class DumpSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(loop.ready());
        auto found = findInput("Corvex Loopback 1");
        ASSERT_TRUE(found);
        input = *found;
    }

    bool pumpUntilLines(uint64_t count) {
        return testing::pumpUntil(
            loop, [this](const CvxMessage& m) { session.handle(m); },
            [&] { return session.linesPrinted() >= count; });
    }

    void feed(std::vector<uint8_t> bytes) {
        ASSERT_EQ(vmidiFeed(input.index, bytes.data(), static_cast<unsigned>(bytes.size())), 1);
    }

    NotificationLoop loop;
    std::ostringstream out;
    DumpSession session{loop.window(), out, NumberStyle::Hex};
    Device input;
};

TEST_F(DumpSessionTest, PrintsTheHeaderThenOneMonitorLinePerEvent) {
    ASSERT_EQ(session.open(input), "");
    feed({0x90, 60, 100, 0xB0, 7, 90, 0xF8});
    ASSERT_TRUE(pumpUntilLines(3)) << out.str();

    auto printed = lines(out.str());
    ASSERT_EQ(printed.size(), 4u);
    EXPECT_EQ(printed[0], EventText::header);
    for (size_t i = 1; i < printed.size(); ++i) {
        EXPECT_EQ(printed[i].size(), EventText::lineColumns) << printed[i];
    }
    EXPECT_NE(printed[1].find("Note On"), std::string::npos) << printed[1];
    EXPECT_NE(printed[2].find("CC: Volume"), std::string::npos) << printed[2];
    EXPECT_NE(printed[3].find("Timing Clock"), std::string::npos) << printed[3];
}

TEST_F(DumpSessionTest, PrintsSysExAsBytesAndGivesEveryLentBufferBack) {
    ASSERT_EQ(session.open(input), "");
    std::vector<uint8_t> block{0xF0, 0x7D};
    for (uint8_t i = 0; i < 37; ++i) {
        block.push_back(i);
    }
    block.push_back(0xF7); // 40 bytes: 18 + 18 + 4 on three byte lines
    // More blocks than the input has buffers: each arrives only if the last went back.
    constexpr int kBlocks = 12;
    for (int i = 0; i < kBlocks; ++i) {
        feed(block);
        ASSERT_TRUE(pumpUntilLines(4u * (i + 1))) << "block " << i << '\n' << out.str();
    }
    auto printed = lines(out.str());
    ASSERT_EQ(printed.size(), 1u + 4u * kBlocks);
    EXPECT_NE(printed[1].find("System Exclusive"), std::string::npos) << printed[1];
    EXPECT_EQ(printed[2].rfind(" SYSX: F0 7D 00 01", 0), 0u) << printed[2];
    EXPECT_EQ(printed[4], EventText::sysexLine(block.data() + 36, 4, NumberStyle::Hex));
}

TEST_F(DumpSessionTest, AnInputThatWillNotOpenIsReportedAndNothingPrinted) {
    vmidiFailOpen(input.index, 0, MMSYSERR_ALLOCATED);
    const std::string error = session.open(input);
    EXPECT_NE(error.find("\"Corvex Loopback 1\""), std::string::npos) << error;
    EXPECT_EQ(out.str(), "");
}

} // namespace
} // namespace corvex::examples
