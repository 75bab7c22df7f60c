// The input byte parser on its own: what each byte sequence turns into.
#include "platform/midi_byte_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cvx::platform {
namespace {

// One letter per action kind with its value: S=short, E=error, b=SysEx byte, e=end, a=abort.
std::string parse(const std::vector<uint8_t>& bytes, MidiByteParser& parser) {
    std::string out;
    MidiByteParser::Action actions[MidiByteParser::kMaxActions];
    uint32_t time = 0;
    for (uint8_t byte : bytes) {
        int n = parser.feed(byte, time++, actions);
        for (int i = 0; i < n; ++i) {
            char text[32];
            const auto& a = actions[i];
            switch (a.kind) {
            case MidiByteParser::Kind::Short:
                snprintf(text, sizeof text, "S%X@%u ", a.message, a.time);
                break;
            case MidiByteParser::Kind::Error:
                snprintf(text, sizeof text, "E%X ", a.message);
                break;
            case MidiByteParser::Kind::SysExByte:
                snprintf(text, sizeof text, "b%X ", a.byte);
                break;
            case MidiByteParser::Kind::SysExEnd:
                snprintf(text, sizeof text, "e ");
                break;
            case MidiByteParser::Kind::SysExAbort:
                snprintf(text, sizeof text, "a ");
                break;
            }
            out += text;
        }
    }
    return out;
}

std::string parse(const std::vector<uint8_t>& bytes) {
    MidiByteParser parser;
    return parse(bytes, parser);
}

TEST(MidiByteParser, RunningStatusContinuesChannelMessagesOnly) {
    EXPECT_EQ(parse({0x90, 0x3C, 0x40, 0x3E, 0x41}), "S403C90@0 S413E90@3 ");
    EXPECT_EQ(parse({0xD3, 0x10, 0x11}), "S10D3@0 S11D3@2 ");
    EXPECT_EQ(parse({0xF3, 0x05, 0x06}), "S5F3@0 E6 ");
    EXPECT_EQ(parse({0x90, 0x3C, 0x40, 0xF6, 0x3C}), "S403C90@0 SF6@3 E3C ");
}

TEST(MidiByteParser, RealtimeBytesStandAloneAnywhere) {
    EXPECT_EQ(parse({0xB0, 0xF8, 0x07, 0xFA, 0x64}), "SF8@1 SFA@3 S6407B0@0 ");
    EXPECT_EQ(parse({0xF0, 0x01, 0xFE, 0x02, 0xF7}), "bF0 b1 SFE@2 b2 e ");
}

TEST(MidiByteParser, ErrorsAndInterruptedMessages) {
    EXPECT_EQ(parse({0x40, 0x90, 0x3C, 0x80, 0x3C, 0x00}), "E40 E3C90 S3C80@3 ");
    EXPECT_EQ(parse({0xF7}), "EF7 ");
    EXPECT_EQ(parse({0xF0, 0x01, 0x92, 0x3C, 0x40}), "bF0 b1 a S403C92@2 ");
    EXPECT_EQ(parse({0xF0, 0x01, 0xF0, 0x02}), "bF0 b1 a bF0 b2 ");
}

TEST(MidiByteParser, SysExEndsRunningStatus) {
    EXPECT_EQ(parse({0x90, 0x3C, 0x40, 0xF0, 0xF7, 0x3C, 0x40}), "S403C90@0 bF0 e E3C E40 ");
}

TEST(MidiByteParser, ResetForgetsRunningStatusAndSysEx) {
    MidiByteParser parser;
    parse({0x90, 0x3C, 0x40, 0xF0}, parser);
    parser.reset();
    EXPECT_FALSE(parser.inSysEx());
    EXPECT_EQ(parse({0x3C, 0x40}, parser), "E3C E40 ");
}

} // namespace
} // namespace cvx::platform
