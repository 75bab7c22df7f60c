// A send's steps against an engine that refuses pieces, cancelling, and the scratch pad.
#include "recording_sysex_engine.h"
#include "sysex/sysex_send_session.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

using testing::RecordingSysExEngine;
using Bytes = std::vector<uint8_t>;

struct Outcome {
    SysExSendState end;
    size_t pieces;
    std::vector<uint32_t> waits;
    uint16_t result;
};

Outcome run(const Bytes& bytes, const SysExPacing& pacing, bool autoAdjust,
            RecordingSysExEngine& engine, size_t cancelAfter = SIZE_MAX) {
    SysExSendSession session(bytes, pacing, autoAdjust);
    Outcome outcome{};
    for (;;) {
        SysExSendStep step = session.sendNext(engine);
        if (step.state != SysExSendState::Wait) {
            outcome.end = step.state;
            outcome.result = step.result;
            break;
        }
        outcome.waits.push_back(step.waitMs);
        if (engine.pieces.size() == cancelAfter) {
            session.cancel();
        }
    }
    outcome.pieces = engine.pieces.size();
    return outcome;
}

TEST(SysExSendSession, EndsAsTheEngineAnswers) {
    const Bytes bytes(10, 0x10); // no F7: pieces of the buffer size only
    const SysExPacing pacing{4, true, 30, 20};
    using S = SysExSendState;
    struct Case {
        const char* name;
        std::map<size_t, uint16_t> refusals;
        bool autoAdjust;
        size_t cancelAfter;
        Outcome expected;
    } cases[] = {
        {"all sent, buffer delay between pieces", {}, false, SIZE_MAX, {S::Done, 3, {20, 20}, 0}},
        {"no free buffer ends the send", {{1, 7}}, false, SIZE_MAX, {S::Failed, 1, {20}, 7}},
        {"no output ends the send", {{0, 5}}, true, SIZE_MAX, {S::Failed, 0, {}, 5}},
        {"auto-adjust retries a refused piece",
         {{1, 7}, {2, 7}},
         true,
         SIZE_MAX,
         {S::Done, 3, {20, kSysExRetryDelayMs, kSysExRetryDelayMs, 20}, 0}},
        {"cancel stops at the next piece", {}, false, 1, {S::Cancelled, 1, {20}, 0}},
    };
    for (const Case& c : cases) {
        RecordingSysExEngine engine;
        engine.refusals = c.refusals;
        Outcome got = run(bytes, pacing, c.autoAdjust, engine, c.cancelAfter);
        EXPECT_EQ(got.end, c.expected.end) << c.name;
        EXPECT_EQ(got.pieces, c.expected.pieces) << c.name;
        EXPECT_EQ(got.waits, c.expected.waits) << c.name;
        EXPECT_EQ(got.result, c.expected.result) << c.name;
    }
}

TEST(SysExSendSession, AutoAdjustGivesUpAfterTheRetryLimit) {
    RecordingSysExEngine engine;
    for (size_t attempt = 0; attempt < 10000; ++attempt) {
        engine.refusals[attempt] = kSysExNoFreeBuffer;
    }
    Outcome got = run(Bytes(3, 1), {256, false, 0, 0}, true, engine);
    EXPECT_EQ(got.end, SysExSendState::Failed);
    EXPECT_EQ(got.waits.size(), kSysExRetryLimitMs / kSysExRetryDelayMs);
}

TEST(SysExSendSession, SentPiecesJoinToTheBlock) {
    Bytes bytes;
    for (int i = 0; i < 1000; ++i) {
        bytes.push_back(i % 97 == 0 ? 0xF7 : static_cast<uint8_t>(i & 0x7F));
    }
    RecordingSysExEngine engine;
    Outcome got = run(bytes, {64, true, 0, 0}, false, engine);
    Bytes joined;
    for (const Bytes& piece : engine.pieces) {
        EXPECT_LE(piece.size(), 64u);
        joined.insert(joined.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(joined, bytes);
    EXPECT_EQ(got.end, SysExSendState::Done);
}

TEST(SysExScratchPadSend, EachLineWithBytesIsOneMessage) {
    RecordingSysExEngine engine;
    EXPECT_EQ(sendScratchPad(engine, "90 3C 64\n\nnothing\nC0 05\nF8", 0, 0), 3u);
    using M = SysExShortMessage;
    EXPECT_EQ(engine.messages,
              (std::vector<M>{
                  {0x90, 0x00, 0x3C, 0x64}, {0xC0, 0x00, 0x05, 0x00}, {0xF0, 0x08, 0x00, 0x00}}));
}

} // namespace
} // namespace corvex
