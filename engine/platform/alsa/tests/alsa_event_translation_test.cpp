#include "platform/alsa/alsa_event_translation.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvx::platform {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes wireOf(const snd_seq_event_t& event) {
    AlsaWireScratch scratch;
    const std::span<const uint8_t> bytes = alsaEventToWire(event, scratch);
    return {bytes.begin(), bytes.end()};
}

snd_seq_event_t eventOf(const Bytes& message) {
    snd_seq_event_t event;
    EXPECT_TRUE(wireToAlsaEvent(message, event)) << "message of " << message.size() << " bytes";
    return event;
}

snd_seq_event_t controlEvent(snd_seq_event_type_t type, unsigned channel, unsigned param,
                             int value) {
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    event.type = type;
    event.data.control.channel = static_cast<unsigned char>(channel);
    event.data.control.param = param;
    event.data.control.value = value;
    return event;
}

TEST(AlsaEventTranslation, EveryShortMessageKindSurvivesTheRoundTrip) {
    const std::vector<Bytes> messages = {{0x83, 0x40, 0x10},
                                         {0x9F, 0x7F, 0x7F},
                                         {0x90, 0x3C, 0x00},
                                         {0xA2, 0x30, 0x55},
                                         {0xB0, 0x07, 0x64},
                                         {0xC5, 0x12},
                                         {0xD1, 0x40},
                                         {0xE0, 0x00, 0x00},
                                         {0xE0, 0x00, 0x40},
                                         {0xE3, 0x7F, 0x7F},
                                         {0xE9, 0x01, 0x02},
                                         {0xF1, 0x35},
                                         {0xF2, 0x10, 0x20},
                                         {0xF3, 0x05},
                                         {0xF6},
                                         {0xF8},
                                         {0xF9},
                                         {0xFA},
                                         {0xFB},
                                         {0xFC},
                                         {0xFE},
                                         {0xFF}};
    for (const Bytes& message : messages) {
        EXPECT_EQ(wireOf(eventOf(message)), message) << "status " << int(message[0]);
    }
}

TEST(AlsaEventTranslation, MessagesBecomeTheMatchingEventTypes) {
    EXPECT_EQ(eventOf({0x92, 0x3C, 0x40}).type, SND_SEQ_EVENT_NOTEON);
    EXPECT_EQ(eventOf({0x92, 0x3C, 0x40}).data.note.channel, 2);
    EXPECT_EQ(eventOf({0x80, 0x3C, 0x40}).type, SND_SEQ_EVENT_NOTEOFF);
    EXPECT_EQ(eventOf({0xA0, 0x3C, 0x40}).type, SND_SEQ_EVENT_KEYPRESS);
    EXPECT_EQ(eventOf({0xBF, 0x01, 0x02}).type, SND_SEQ_EVENT_CONTROLLER);
    EXPECT_EQ(eventOf({0xC0, 0x01}).type, SND_SEQ_EVENT_PGMCHANGE);
    EXPECT_EQ(eventOf({0xD0, 0x01}).type, SND_SEQ_EVENT_CHANPRESS);
    EXPECT_EQ(eventOf({0xF1, 0x71}).type, SND_SEQ_EVENT_QFRAME);
    EXPECT_EQ(eventOf({0xF1, 0x71}).data.control.value, 0x71);
    EXPECT_EQ(eventOf({0xF2, 0x10, 0x20}).type, SND_SEQ_EVENT_SONGPOS);
    EXPECT_EQ(eventOf({0xF2, 0x10, 0x20}).data.control.value, 0x10 | (0x20 << 7));
    EXPECT_EQ(eventOf({0xFA}).type, SND_SEQ_EVENT_START);
    EXPECT_EQ(eventOf({0xFE}).type, SND_SEQ_EVENT_SENSING);
    EXPECT_EQ(eventOf({0xFF}).type, SND_SEQ_EVENT_RESET);
}

TEST(AlsaEventTranslation, PitchBendIsSignedAroundTheCentre) {
    EXPECT_EQ(eventOf({0xE0, 0x00, 0x00}).data.control.value, -8192);
    EXPECT_EQ(eventOf({0xE0, 0x00, 0x40}).data.control.value, 0);
    EXPECT_EQ(eventOf({0xE0, 0x7F, 0x7F}).data.control.value, 8191);
    EXPECT_EQ(wireOf(controlEvent(SND_SEQ_EVENT_PITCHBEND, 4, 0, 1)), (Bytes{0xE4, 0x01, 0x40}));
    EXPECT_EQ(wireOf(controlEvent(SND_SEQ_EVENT_PITCHBEND, 0, 0, 9000)), (Bytes{0xE0, 0x7F, 0x7F}));
}

TEST(AlsaEventTranslation, AnythingButOneCompleteShortMessageIsRefused) {
    const std::vector<Bytes> refused = {{},
                                        {0x40, 0x7F},
                                        {0x90, 0x40},
                                        {0x90, 0x40, 0x10, 0x20},
                                        {0xC0, 0x01, 0x02},
                                        {0xF0, 0x7E, 0xF7},
                                        {0xF7},
                                        {0xF4},
                                        {0xF5},
                                        {0xFD}};
    for (const Bytes& message : refused) {
        snd_seq_event_t event;
        EXPECT_FALSE(wireToAlsaEvent(message, event)) << "message of " << message.size();
    }
}

TEST(AlsaEventTranslation, FourteenBitControllersExpandToControllerPairs) {
    EXPECT_EQ(wireOf(controlEvent(SND_SEQ_EVENT_CONTROL14, 1, 7, 0x2345)),
              (Bytes{0xB1, 0x07, 0x46, 0xB1, 0x27, 0x45}));
    EXPECT_EQ(wireOf(controlEvent(SND_SEQ_EVENT_CONTROL14, 1, 64, 0x7F)),
              (Bytes{0xB1, 0x40, 0x7F}));
    EXPECT_EQ(wireOf(controlEvent(SND_SEQ_EVENT_NONREGPARAM, 2, 0x0105, 0x0203)),
              (Bytes{0xB2, 99, 0x02, 0xB2, 98, 0x05, 0xB2, 6, 0x04, 0xB2, 38, 0x03}));
    EXPECT_EQ(wireOf(controlEvent(SND_SEQ_EVENT_REGPARAM, 0, 0x0000, 0x0100)),
              (Bytes{0xB0, 101, 0x00, 0xB0, 100, 0x00, 0xB0, 6, 0x02, 0xB0, 38, 0x00}));
}

TEST(AlsaEventTranslation, EventsWithoutMidiYieldNoBytes) {
    for (const snd_seq_event_type_t type :
         {SND_SEQ_EVENT_PORT_START, SND_SEQ_EVENT_CLIENT_EXIT, SND_SEQ_EVENT_NOTE,
          SND_SEQ_EVENT_TEMPO, SND_SEQ_EVENT_ECHO, SND_SEQ_EVENT_NONE}) {
        EXPECT_TRUE(wireOf(controlEvent(type, 0, 0, 0)).empty()) << int(type);
    }
}

} // namespace
} // namespace cvx::platform
