// Captures in each mode, the scratch pad's messages and line ranges.
#include "sysex/sysex_capture.h"
#include "sysex/sysex_scratch_pad.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace corvex {
namespace {

SysExReceiveBuffer::Copy giving(const std::vector<uint8_t>& bytes) {
    return [bytes](uint8_t* destination, size_t capacity) {
        size_t n = std::min(capacity, bytes.size());
        std::memcpy(destination, bytes.data(), n);
        return n;
    };
}

TEST(SysExCapture, EachModeKeepsEveryByte) {
    SysExReceiveBuffer buffer;
    const std::vector<uint8_t> first{0xF0, 0x41}, second{0x10, 0xF7};
    {
        SysExCapture capture(buffer, SysExCaptureMode::KeepInBuffer);
        EXPECT_EQ(capture.captured(2, giving(first)), "");
        capture.captured(2, giving(second));
        EXPECT_EQ(std::vector<uint8_t>(buffer.bytes().begin(), buffer.bytes().end()),
                  (std::vector<uint8_t>{0xF0, 0x41, 0x10, 0xF7}));
        EXPECT_EQ(capture.shortfallMessage(), "");
    }
    {
        SysExCapture capture(buffer, SysExCaptureMode::FillAsReceived);
        EXPECT_EQ(capture.captured(2, giving(first)), "F0 41 ");
        EXPECT_EQ(capture.captured(2, giving(second)), "10 F7 ");
        EXPECT_EQ(buffer.usedBytes(), 0u);
    }
    {
        std::FILE* file = std::tmpfile();
        SysExCapture capture(buffer, SysExCaptureMode::DumpToFile, ::fileno(file));
        capture.captured(2, giving(first));
        capture.captured(2, giving(second));
        EXPECT_EQ(capture.bytesCopied(), 4u);
        std::rewind(file);
        uint8_t back[8] = {};
        EXPECT_EQ(std::fread(back, 1, sizeof back, file), 4u);
        EXPECT_EQ(back[3], 0xF7);
        std::fclose(file);
    }
}

TEST(SysExCapture, OverflowStopsWithTheShortfallAndKeepsWhatCame) {
    SysExReceiveBuffer probe;
    size_t page = probe.pageSize();
    SysExReceiveBuffer buffer(page);
    SysExCapture capture(buffer, SysExCaptureMode::KeepInBuffer);
    capture.captured(page - 1, giving(std::vector<uint8_t>(page - 1, 0x11)));
    capture.captured(10, giving(std::vector<uint8_t>(10, 0x22)));
    EXPECT_TRUE(capture.overflowed());
    EXPECT_EQ(buffer.usedBytes(), page - 1);
    std::string message = capture.shortfallMessage();
    EXPECT_NE(message.find("full"), std::string::npos);
    EXPECT_NE(message.find("Bytes Reported by low-level input: " + std::to_string(page + 9) +
                           "\nBytes Copied into Receive Buffer: " + std::to_string(page - 1)),
              std::string::npos);
}

TEST(SysExCapture, DrainAtTheEndTakesWhatIsStillWaitingPageByPage) {
    SysExReceiveBuffer buffer;
    std::vector<uint8_t> waiting(buffer.pageSize() * 3 + 5, 0x33);
    SysExReceiveBuffer::Copy copy = [&](uint8_t* destination, size_t capacity) {
        size_t n = std::min(capacity, waiting.size());
        std::memcpy(destination, waiting.data(), n);
        waiting.erase(waiting.begin(), waiting.begin() + static_cast<std::ptrdiff_t>(n));
        return n;
    };
    const size_t total = waiting.size();
    SysExCapture capture(buffer, SysExCaptureMode::KeepInBuffer);
    capture.captured(10, copy); // one page taken, the rest not announced yet
    capture.drain(copy);
    EXPECT_TRUE(waiting.empty());
    EXPECT_EQ(buffer.usedBytes(), total);
    EXPECT_EQ(capture.bytesCopied(), total);
    EXPECT_EQ(capture.shortfallMessage(), "") << "more taken than announced is no shortfall";
}

TEST(SysExScratchPad, LinesBecomeShortMessages) {
    using M = SysExShortMessage;
    EXPECT_EQ(scratchPadMessage("90 3C 64"), (M{0x90, 0x00, 0x3C, 0x64}));
    EXPECT_EQ(scratchPadMessage("C0 05"), (M{0xC0, 0x00, 0x05, 0x00}));
    EXPECT_EQ(scratchPadMessage("F8"), (M{0xF0, 0x08, 0x00, 0x00}));
    EXPECT_EQ(scratchPadMessage("B1 07 7F 99"), (M{0xB0, 0x01, 0x07, 0x7F}));
    EXPECT_FALSE(scratchPadMessage(""));
    EXPECT_FALSE(scratchPadMessage("no bytes"));
}

TEST(SysExScratchPad, RangeFollowsTheSelection) {
    const std::string_view text = "90 3C 64\nC0 05\r\nF8\n";
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(scratchPadLines(text, 0, 0), (Lines{"90 3C 64", "C0 05", "F8"}));
    EXPECT_EQ(scratchPadLines(text, 10, 12), (Lines{"C0 05"}));
    EXPECT_EQ(scratchPadLines(text, 2, 18), (Lines{"90 3C 64", "C0 05", "F8"}));
}

} // namespace
} // namespace corvex
