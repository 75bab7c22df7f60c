// The computer keyboard as a MIDI keyboard: what each key does, given as a virtual key
// (virtual_keys.h) going down or up. Letter and digit keys play notes or chords from the key
// map; navigation keys change velocity, bend and modulation; Shift is the sustain pedal;
// F-keys choose the octave or the chord key; the keypad chooses chords and channels and,
// with Tab or Ctrl+A held, types a program or a strum delay.
//
// Every key remembers the notes it started (chord, octave and channel at the time of the
// press) and its release ends exactly those, so changing octave, channel or chord while
// holding keys leaves nothing sounding; releaseAll() ends every sounding note and the pedal.
// Values clamp at their range's ends; the voicing steps round.
//
// Threads: the user-interface thread only.
#pragma once

#include "instruments/chord_generator.h"
#include "instruments/key_map.h"
#include "instruments/paced_output.h"
#include "instruments/virtual_keys.h"

#include <array>
#include <bitset>
#include <cstdint>

namespace corvex {

struct KeyInput {
    int virtualKey = 0;
    bool down = true;
    bool ctrl = false;
    bool alt = false;
    bool capsLock = false;   // chords instead of single notes
    bool scrollLock = false; // keypad 1-8 are chord buttons
};

struct KeyboardState {
    int channel = 0; // 0-15
    int octave = 4;  // 0-7
    int velocity = 100;
    int bend = 64; // pitch bend MSB
    int modulation = 0;
    ChordType chordType = ChordType::Major;
    ChordFlags flags;
    int chordKey = 0; // 0-11 semitones
    int voicing = 0;  // chord buttons' voicing 0-2
    bool buttonOctaveUp = false;
    bool strum = false;
    int strumDelayMs = 200; // 0-10000
    int programEntry = 0;   // -1 (cancelled) or 0-127
    int delayEntry = -1;    // -1 (none) or 0-10000
};

class PcKeyboard {
public:
    static constexpr int kMaxStrumDelayMs = 10000;

    PcKeyboard(KeyMap map, PacedOutput& output) : map_(std::move(map)), output_(output) {}

    // Handles one key event; true when the keyboard took it (the focused window must not see
    // it), false when it passes on.
    bool key(const KeyInput& input);
    // Whether key() would take this event (for letting it pass the windows' shortcuts).
    bool takes(const KeyInput& input) const;
    // Ends every note the held keys started, and the sustain pedal when Shift holds it; the
    // keys count as released.
    void releaseAll();

    const KeyboardState& state() const { return state_; }
    // Whether any key holds sounding notes.
    bool sounding() const;

private:
    struct HeldNotes {
        std::array<uint8_t, 5> notes{};
        uint8_t count = 0;
        uint8_t channel = 0;
        bool endWithNoteOn = false; // chord buttons end with velocity-0 note-ons
    };

    static bool isNavigationKey(int virtualKey);
    // Tab held (a program) or Ctrl and A held (a strum delay): the keypad types a number.
    bool typing(const KeyInput& input) const;
    void navigationKey(int virtualKey);
    void functionKey(const KeyInput& input);
    void keypadKey(const KeyInput& input);
    void chordKeypadKey(int virtualKey, bool scrollLock);
    void tabKey(bool down);
    void characterKey(const KeyInput& input);
    void typeProgramDigit(int digit);
    void typeDelayDigit(int digit);

    void play(int virtualKey, const ChordTones& tones, bool endWithNoteOn);
    void endNotes(int virtualKey);
    void sendController(int controller, int value);
    void sendBend();

    KeyMap map_;
    PacedOutput& output_;
    KeyboardState state_;
    std::bitset<vk::kCount> down_;
    std::array<HeldNotes, vk::kCount> held_{};
};

} // namespace corvex
