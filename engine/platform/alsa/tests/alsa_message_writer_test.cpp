#include "platform/alsa/alsa_message_writer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <numeric>
#include <vector>

namespace cvx::platform {
namespace {

using Bytes = std::vector<uint8_t>;

// Stands for the sequencer's write: keeps the wire bytes of every event it takes, and
// answers `refusal` from the event numbered `refuseFrom` on.
struct ScriptedWrite {
    ScriptedWrite() = default;
    ScriptedWrite(size_t refuseFromEvent, int refusalResult)
        : refuseFrom(refuseFromEvent), refusal(refusalResult) {}

    size_t refuseFrom = SIZE_MAX;
    int refusal = 0;
    size_t events = 0;
    Bytes taken;

    int operator()(snd_seq_event_t& event) {
        if (events++ >= refuseFrom) {
            return refusal;
        }
        AlsaWireScratch scratch;
        const std::span<const uint8_t> wire = alsaEventToWire(event, scratch);
        taken.insert(taken.end(), wire.begin(), wire.end());
        return 0;
    }
};

Bytes sysex(size_t size) {
    Bytes message(size);
    std::iota(message.begin(), message.end(), uint8_t{0});
    for (uint8_t& byte : message) {
        byte &= 0x7F;
    }
    message.front() = 0xF0;
    message.back() = 0xF7;
    return message;
}

TEST(AlsaMessageWriter, ShortMessagesAreOneEventAndSysExGoesInPiecesInOrder) {
    ScriptedWrite note;
    EXPECT_EQ(writeAlsaMessage(Bytes{0x93, 0x40, 0x7F}, note), AlsaWriteOutcome::Written);
    EXPECT_EQ(note.events, 1u);
    EXPECT_EQ(note.taken, (Bytes{0x93, 0x40, 0x7F}));

    for (const size_t size : {size_t{2}, size_t{255}, size_t{256}, size_t{257}, size_t{3000}}) {
        ScriptedWrite write;
        const Bytes message = sysex(size);
        EXPECT_EQ(writeAlsaMessage(message, write), AlsaWriteOutcome::Written) << size;
        EXPECT_EQ(write.events, (size + kAlsaSysExChunkBytes - 1) / kAlsaSysExChunkBytes) << size;
        EXPECT_EQ(write.taken, message) << size;
    }
    ScriptedWrite nothing;
    EXPECT_EQ(writeAlsaMessage({}, nothing), AlsaWriteOutcome::Written);
    EXPECT_EQ(nothing.events, 0u);
}

TEST(AlsaMessageWriter, AFullDestinationIsAnOverrunThatStopsTheMessageAtOnce) {
    for (const int refusal : {-EAGAIN, -ENOMEM}) {
        ScriptedWrite write(2, refusal);
        EXPECT_EQ(writeAlsaMessage(sysex(3000), write), AlsaWriteOutcome::Overrun) << refusal;
        EXPECT_EQ(write.events, 3u) << "no piece is tried after the refused one";
        EXPECT_EQ(write.taken.size(), 2 * kAlsaSysExChunkBytes);
    }
    ScriptedWrite refusedNote(0, -EAGAIN);
    EXPECT_EQ(writeAlsaMessage(Bytes{0xF8}, refusedNote), AlsaWriteOutcome::Overrun);
    EXPECT_EQ(alsaWriteResult(AlsaWriteOutcome::Overrun), MIDIERR_NOTREADY);
}

TEST(AlsaMessageWriter, OtherRefusalsFailAndSuccessIsNoError) {
    for (const int refusal : {-ENOENT, -ENXIO, -EINVAL, -EPERM}) {
        ScriptedWrite write(0, refusal);
        EXPECT_EQ(writeAlsaMessage(Bytes{0xC0, 0x05}, write), AlsaWriteOutcome::Failed) << refusal;
    }
    EXPECT_EQ(alsaWriteResult(AlsaWriteOutcome::Failed), MMSYSERR_ERROR);
    EXPECT_EQ(alsaWriteResult(AlsaWriteOutcome::Written), MMSYSERR_NOERROR);
    EXPECT_EQ(alsaWriteOutcome(28), AlsaWriteOutcome::Written); // bytes written
}

} // namespace
} // namespace cvx::platform
