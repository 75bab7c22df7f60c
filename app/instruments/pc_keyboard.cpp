#include "instruments/pc_keyboard.h"

#include <algorithm>

namespace corvex {
namespace {

constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kController = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kPitchBend = 0xE0;
constexpr int kReleaseVelocity = 64;
constexpr int kSustainPedal = 64;
constexpr int kMaxProgram = 127;

constexpr int kVelocityStep = 4;
constexpr int kModulationStep = 16;
constexpr int kBendStep = 8;
constexpr int kBendCentre = 64;

// A step down from the top of the range lands on the steps' grid again: 127 counts as 128.
int stepDown(int value, int step) {
    return std::max((value == 127 ? 128 : value) - step, 0);
}

int stepUp(int value, int step) {
    return std::min(value + step, 127);
}

uint8_t byte(int value) {
    return static_cast<uint8_t>(value);
}

} // namespace

bool PcKeyboard::key(const KeyInput& input) {
    const int v = input.virtualKey;
    if (v <= 0 || v >= vk::kCount) {
        return false;
    }
    if (!input.down && held_[v].count > 0) {
        // Whatever changed while the key was held (Alt, the lock keys, the keypad's layer),
        // its release ends what it started.
        down_.reset(v);
        endNotes(v);
        return true;
    }
    if (!takes(input)) {
        return false;
    }
    if (isNavigationKey(v)) {
        if (input.down) {
            navigationKey(v);
        }
        return true;
    }
    const bool repeated = input.down && down_.test(v);
    down_.set(v, input.down);
    if (repeated) {
        return true;
    }
    if (v == vk::kShift) {
        sendController(kSustainPedal, input.down ? 127 : 0);
    } else if (vk::isFunctionKey(v)) {
        functionKey(input);
    } else if (vk::isKeypad(v)) {
        keypadKey(input);
    } else if (v == vk::kTab) {
        tabKey(input.down);
    } else {
        characterKey(input);
    }
    return true;
}

bool PcKeyboard::takes(const KeyInput& input) const {
    const int v = input.virtualKey;
    if (v <= 0 || v >= vk::kCount || input.alt) {
        return false; // Alt combinations belong to the windows
    }
    if (v >= vk::kPageUp && v <= vk::kDelete) {
        return isNavigationKey(v);
    }
    if ((input.down && down_.test(v)) || v == vk::kShift || v == vk::kTab || vk::isFunctionKey(v)) {
        return true;
    }
    if (vk::isKeypad(v)) {
        if (typing(input)) {
            return vk::isKeypadDigit(v) || v == vk::kDecimal;
        }
        return v != vk::kSeparator;
    }
    const char c = vk::characterOf(v);
    if (c == 0) {
        return false;
    }
    // Keys without a note are still taken inside the note keys' range.
    return c == 'A' || map_.offsetOf(c) != kNoNote || (c >= ',' && c <= ']');
}

bool PcKeyboard::isNavigationKey(int v) {
    return v == vk::kPageUp || v == vk::kPageDown || v == vk::kEnd || v == vk::kHome ||
           v == vk::kLeft || v == vk::kRight || v == vk::kInsert || v == vk::kDelete;
}

bool PcKeyboard::typing(const KeyInput& input) const {
    return down_.test(vk::kTab) || (input.ctrl && down_.test(vk::kKeyA));
}

void PcKeyboard::tabKey(bool down) {
    if (down) {
        return;
    }
    if (state_.programEntry >= 0) {
        output_.send({byte(kProgramChange | state_.channel), byte(state_.programEntry), 0});
    }
    state_.programEntry = 0;
}

void PcKeyboard::navigationKey(int v) {
    switch (v) {
    case vk::kPageUp:
        state_.velocity = stepUp(state_.velocity, kVelocityStep);
        break;
    case vk::kPageDown:
        state_.velocity = stepDown(state_.velocity, kVelocityStep);
        break;
    case vk::kEnd:
        if (state_.bend != kBendCentre) {
            state_.bend = kBendCentre;
            sendBend();
        }
        break;
    case vk::kHome:
        sendController(123, 0);
        sendController(121, 0);
        sendController(kSustainPedal, 0);
        break;
    case vk::kLeft:
    case vk::kRight:
        state_.modulation = v == vk::kRight ? stepUp(state_.modulation, kModulationStep)
                                            : stepDown(state_.modulation, kModulationStep);
        sendController(1, state_.modulation);
        break;
    case vk::kInsert:
    case vk::kDelete:
        state_.bend =
            v == vk::kInsert ? stepUp(state_.bend, kBendStep) : stepDown(state_.bend, kBendStep);
        sendBend();
        break;
    default:
        break;
    }
}

void PcKeyboard::functionKey(const KeyInput& input) {
    const int index = input.virtualKey - vk::kF1; // 0-11
    if (!input.down) {
        return;
    }
    if (input.ctrl) {
        state_.chordKey = index;
    } else if (index >= 1 && index <= 8) {
        state_.octave = index - 1;
    }
}

void PcKeyboard::keypadKey(const KeyInput& input) {
    const int v = input.virtualKey;
    const bool digit = vk::isKeypadDigit(v);
    if (typing(input)) {
        if (input.down) {
            const bool program = down_.test(vk::kTab);
            if (!digit) {
                (program ? state_.programEntry : state_.delayEntry) = -1;
            } else if (program) {
                typeProgramDigit(v - vk::kNumpad0);
            } else {
                typeDelayDigit(v - vk::kNumpad0);
            }
        }
        return;
    }
    const bool chordButton = input.scrollLock && v >= vk::kNumpad0 + 1 && v <= vk::kNumpad0 + 8;
    if (chordButton && input.down) {
        const int octave = state_.octave + (state_.buttonOctaveUp ? 1 : 0);
        play(v, chordButtonTones(v - vk::kNumpad0 - 1, state_.voicing, octave, state_.chordKey),
             true);
    } else if (!chordButton && input.down) {
        chordKeypadKey(v, input.scrollLock);
    }
}

// The keypad's chord choices (chord buttons aside), on key-down.
void PcKeyboard::chordKeypadKey(int v, bool scrollLock) {
    ChordFlags& flags = state_.flags;
    switch (v) {
    case vk::kNumpad0:
        state_.chordType = ChordType::Major;
        break;
    case vk::kNumpad0 + 9:
        state_.chordType = ChordType::Ninth;
        break;
    case vk::kNumpad0 + 1:
        flags.rootUp = !flags.rootUp;
        break;
    case vk::kNumpad0 + 2:
        flags.fifthDown = !flags.fifthDown;
        break;
    case vk::kNumpad0 + 3:
        state_.chordType = ChordType::Minor;
        break;
    case vk::kNumpad0 + 4:
        state_.chordType = ChordType::MinorSixth;
        break;
    case vk::kNumpad0 + 5:
        state_.chordType = ChordType::MinorSeventh;
        break;
    case vk::kNumpad0 + 6:
        state_.chordType = ChordType::Sixth;
        break;
    case vk::kNumpad0 + 7:
        state_.chordType = ChordType::Seventh;
        break;
    case vk::kNumpad0 + 8:
        flags.addOctave = !flags.addOctave;
        break;
    case vk::kAdd:
        state_.channel = std::min(state_.channel + 1, 15);
        break;
    case vk::kSubtract:
        state_.channel = std::max(state_.channel - 1, 0);
        break;
    case vk::kMultiply:
        if (scrollLock) {
            state_.voicing = (state_.voicing + 1) % kVoicingCount;
        } else {
            flags.augmented = !flags.augmented;
            flags.diminished = false;
        }
        break;
    case vk::kDivide:
        if (scrollLock) {
            state_.buttonOctaveUp = !state_.buttonOctaveUp;
        } else {
            flags.diminished = !flags.diminished;
            flags.augmented = false;
        }
        break;
    case vk::kDecimal:
        flags = ChordFlags{};
        break;
    default:
        break;
    }
}

void PcKeyboard::typeProgramDigit(int digit) {
    int& entry = state_.programEntry;
    if (entry <= 0) {
        entry = digit;
    } else if (entry < 13) {
        entry = std::min(entry * 10 + digit, kMaxProgram);
    }
}

void PcKeyboard::typeDelayDigit(int digit) {
    int& entry = state_.delayEntry;
    entry = entry <= 0 ? digit : std::min(entry * 10 + digit, kMaxStrumDelayMs);
}

void PcKeyboard::characterKey(const KeyInput& input) {
    const int v = input.virtualKey;
    const char c = vk::characterOf(v);
    if (c == 'A') {
        if (input.down) {
            return;
        }
        if (!input.ctrl) {
            state_.strum = !state_.strum;
        } else if (state_.delayEntry >= 0) {
            state_.strumDelayMs = state_.delayEntry;
            state_.delayEntry = -1;
        }
        return;
    }
    const int offset = map_.offsetOf(c);
    if (offset == kNoNote || !input.down) {
        return; // a release ended its notes before
    }
    const int note = std::min(offset + state_.octave * 12, 127);
    ChordTones tones;
    if (input.capsLock) {
        tones = chordOf(note, state_.chordType, state_.flags);
    } else {
        tones.add(note);
    }
    play(v, tones, false);
}

void PcKeyboard::play(int virtualKey, const ChordTones& tones, bool endWithNoteOn) {
    endNotes(virtualKey); // a key sounds one set of notes at a time
    HeldNotes& held = held_[virtualKey];
    held.channel = byte(state_.channel);
    held.endWithNoteOn = endWithNoteOn;
    for (size_t i = 0; i < tones.count; ++i) {
        if (i > 0 && state_.strum) {
            output_.pause(state_.strumDelayMs);
        }
        output_.send({byte(kNoteOn | state_.channel), byte(tones.notes[i]), byte(state_.velocity)});
        held.notes[held.count++] = byte(tones.notes[i]);
    }
}

void PcKeyboard::endNotes(int virtualKey) {
    HeldNotes& held = held_[virtualKey];
    for (uint8_t i = 0; i < held.count; ++i) {
        output_.send(held.endWithNoteOn
                         ? KeyboardMessage{byte(kNoteOn | held.channel), held.notes[i], 0}
                         : KeyboardMessage{byte(kNoteOff | held.channel), held.notes[i],
                                           byte(kReleaseVelocity)});
    }
    held.count = 0;
}

void PcKeyboard::releaseAll() {
    for (int v = 0; v < vk::kCount; ++v) {
        endNotes(v);
    }
    if (down_.test(vk::kShift)) {
        sendController(kSustainPedal, 0);
    }
    down_.reset();
    state_.programEntry = 0;
}

bool PcKeyboard::sounding() const {
    return std::ranges::any_of(held_, [](const HeldNotes& held) { return held.count > 0; });
}

void PcKeyboard::sendController(int controller, int value) {
    output_.send({byte(kController | state_.channel), byte(controller), byte(value)});
}

void PcKeyboard::sendBend() {
    output_.send({byte(kPitchBend | state_.channel), 0, byte(state_.bend)});
}

} // namespace corvex
