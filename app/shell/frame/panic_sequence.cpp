#include "panic_sequence.h"

namespace corvex {
namespace {

constexpr uint16_t kNoteOff = 0x80;
constexpr uint16_t kController = 0xB0;
constexpr uint16_t kPitchBend = 0xE0;

constexpr uint16_t kAllNotesOff = 123;
constexpr uint16_t kSustain = 64;
constexpr uint16_t kModWheel = 1;
constexpr uint16_t kResetControllers = 121;
constexpr uint16_t kVolume = 7;
constexpr uint16_t kExpression = 11;

bool enabled(int value) {
    return value != -1;
}

// A data byte never has its top bit set: a larger value would reach the device as a status
// byte, so values are limited to the range the message can carry.
uint16_t clampedTo(int value, int highest) {
    const int in16Bits = static_cast<uint16_t>(value);
    return static_cast<uint16_t>(in16Bits > highest ? highest : in16Bits);
}

uint16_t dataByte(int value) {
    return clampedTo(value, 0x7F);
}

void addController(std::vector<ShortMessage>& out, uint16_t channel, uint16_t controller,
                   int value) {
    if (enabled(value)) {
        out.push_back({kController, channel, controller, dataByte(value)});
    }
}

} // namespace

std::vector<ShortMessage> buildPanicSequence(const cvx::profile::PanicSettings& settings,
                                             bool individualNoteOffs) {
    std::vector<ShortMessage> out;
    out.reserve(16 * (7 + (individualNoteOffs ? 128 : 0)));
    for (uint16_t channel = 0; channel < 16; ++channel) {
        addController(out, channel, kAllNotesOff, settings.allNotesOff);
        if (enabled(settings.pitchBend)) {
            const uint16_t bend = clampedTo(settings.pitchBend, 0x3FFF);
            out.push_back({kPitchBend, channel, static_cast<uint16_t>(bend & 0x7F),
                           static_cast<uint16_t>(bend >> 7)});
        }
        addController(out, channel, kSustain, settings.sustPedal);
        addController(out, channel, kModWheel, settings.modWheel);
        addController(out, channel, kResetControllers, settings.resetCtl);
        if (individualNoteOffs) {
            for (uint16_t note = 0; note < 128; ++note) {
                out.push_back({kNoteOff, channel, note, 0});
            }
        }
        addController(out, channel, kVolume, settings.volume);
        addController(out, channel, kExpression, settings.expression);
    }
    return out;
}

int panicDelayMs(const cvx::profile::PanicSettings& settings) {
    return settings.minDelay < 0 ? 0 : settings.minDelay;
}

PanicRun::PanicRun(std::vector<ShortMessage> messages, int delayMs)
    : messages_(std::move(messages)), delayMs_(delayMs < 0 ? 0 : delayMs) {}

} // namespace corvex
