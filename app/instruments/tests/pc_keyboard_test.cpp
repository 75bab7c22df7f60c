// The computer keyboard's logic on virtual keys: the notes and chords each key plays and
// ends (across octave, channel and lock changes while held), the entry keys, the stepped
// values at their ends, strumming paced by time, and the chord generator and key map file
// underneath.
#include "instruments/chord_generator.h"
#include "instruments/key_map.h"
#include "instruments/paced_output.h"
#include "instruments/pc_keyboard.h"
#include "instruments/virtual_keys.h"

#include "ini/profile_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace corvex {
namespace {

using Messages = std::vector<KeyboardMessage>;

constexpr int kPad(int digit) {
    return vk::kNumpad0 + digit;
}

class PcKeyboardTest : public ::testing::Test {
protected:
    // Presses (and with `release` releases) the keys in order with the given modifiers.
    bool press(int key, KeyInput mods = {}) {
        mods.virtualKey = key;
        mods.down = true;
        return keyboard_->key(mods);
    }
    bool release(int key, KeyInput mods = {}) {
        mods.virtualKey = key;
        mods.down = false;
        return keyboard_->key(mods);
    }
    void fresh(KeyMap map = {}) { keyboard_.emplace(std::move(map), output_); }
    Messages sent(int64_t now = 1'000'000) {
        output_.drain(now);
        Messages messages;
        messages.swap(sent_);
        return messages;
    }

    Messages sent_;
    PacedOutput output_{[this](const KeyboardMessage& message) { sent_.push_back(message); }};
    std::optional<PcKeyboard> keyboard_{std::in_place, KeyMap(), output_};
};

TEST_F(PcKeyboardTest, NoteKeysPlayByOctaveAndReleaseWhatTheyStarted) {
    struct Case {
        int octaveKey; // F2-F9: octave 0-7; 0 keeps octave 4
        int key;
        uint8_t note;
    };
    const Case cases[] = {
        {0, 'Z', 48},
        {0, 'Q', 60},
        {0, vk::kOemRightBracket, 79},
        {vk::kF1 + 8, vk::kOemRightBracket, 115},
        {vk::kF1 + 1, 'Z', 0},
        {vk::kF1 + 8, vk::kOemEquals, 114},
        {vk::kF1 + 1, vk::kOemComma, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        press(c.octaveKey != 0 ? c.octaveKey : vk::kF1 + 5);
        release(c.octaveKey != 0 ? c.octaveKey : vk::kF1 + 5);
        EXPECT_TRUE(press(c.key));
        EXPECT_TRUE(press(c.key)); // the auto-repeat is swallowed and sends nothing
        EXPECT_TRUE(release(c.key));
        EXPECT_EQ(sent(), (Messages{{0x90, c.note, 100}, {0x80, c.note, 64}}));
    }
    KeyMap high;
    high.setOffset("z", 100); // past the top at octave 4
    fresh(high);
    press('Z');
    EXPECT_EQ(sent(), (Messages{{0x90, 127, 100}}));
}

TEST_F(PcKeyboardTest, ReleaseEndsTheNotesOfThePressWhateverChangedMeanwhile) {
    struct Case {
        const char* what;
        int change;           // a key pressed and released while 'Z' is held
        KeyInput pressMods;   // Z's press
        KeyInput releaseMods; // Z's release
        Messages ends;
    };
    const KeyInput caps{.capsLock = true};
    const Case cases[] = {
        {"octave", vk::kF1 + 2, {}, {}, {{0x80, 48, 64}}},
        {"channel", vk::kAdd, {}, {}, {{0x80, 48, 64}}},
        {"chord type", kPad(9), caps, caps, {{0x80, 48, 64}, {0x80, 52, 64}, {0x80, 55, 64}}},
        {"caps lock", 0, caps, {}, {{0x80, 48, 64}, {0x80, 52, 64}, {0x80, 55, 64}}},
        {"alt", 0, {}, {.alt = true}, {{0x80, 48, 64}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        press('Z', c.pressMods);
        sent();
        if (c.change != 0) {
            press(c.change);
            release(c.change);
        }
        EXPECT_TRUE(release('Z', c.releaseMods));
        EXPECT_EQ(sent(), c.ends);
        EXPECT_FALSE(keyboard_->sounding());
    }
}

TEST_F(PcKeyboardTest, ReleaseAllEndsEveryHeldNoteAndThePedal) {
    press('Z');
    press(vk::kF1 + 6); // octave 5
    press(vk::kAdd);    // channel 2
    press('X');
    press(vk::kShift);
    sent();
    keyboard_->releaseAll();
    EXPECT_EQ(sent(), (Messages{{0x81, 62, 64}, {0x80, 48, 64}, {0xB1, 64, 0}}));
    release('Z');
    release(vk::kShift);
    EXPECT_EQ(sent(), (Messages{{0xB1, 64, 0}})); // Shift's own release lifts the pedal again
}

TEST_F(PcKeyboardTest, KeysTakenAndPassedOn) {
    struct Case {
        int key;
        KeyInput mods;
        bool taken;
    };
    const Case cases[] = {
        {'F', {}, true},            // a key without a note inside the note keys' range
        {vk::kOemQuote, {}, false}, // outside it
        {vk::kOemBackslash, {}, true},
        {'Z', {.alt = true}, false}, // Alt combinations are the windows'
        {vk::kUp, {}, false},
        {vk::kPageUp, {}, true},
        {vk::kSeparator, {}, false},
        {vk::kF1, {}, true},
        {vk::kCapsLock, {}, false},
        {vk::kTab, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(press(c.key, c.mods), c.taken);
        release(c.key, c.mods);
    }
    EXPECT_EQ(sent(), (Messages{{0xC0, 0, 0}})); // Tab alone sends program 0
}

TEST_F(PcKeyboardTest, TabAndKeypadDigitsSendAProgram) {
    struct Case {
        std::vector<int> keys;
        Messages sent;
    };
    const Case cases[] = {
        {{kPad(1), kPad(2), kPad(5)}, {{0xC0, 125, 0}}},
        {{kPad(1), kPad(2), kPad(9)}, {{0xC0, 127, 0}}},
        {{kPad(1), kPad(3), kPad(0)}, {{0xC0, 13, 0}}},
        {{kPad(0), kPad(7)}, {{0xC0, 7, 0}}},
        {{kPad(4), vk::kDecimal}, {}},
        {{}, {{0xC0, 0, 0}}},
    };
    for (const Case& c : cases) {
        press(vk::kTab);
        for (int key : c.keys) {
            EXPECT_TRUE(press(key));
            EXPECT_TRUE(release(key));
        }
        release(vk::kTab);
        EXPECT_EQ(sent(), c.sent);
    }
}

TEST_F(PcKeyboardTest, SteppedValuesStayInRangeAndOnTheirGrid) {
    struct Case {
        int upKey, downKey, upPresses;
        int KeyboardState::*value;
        int top, afterDown;
    };
    const Case cases[] = {
        {vk::kPageUp, vk::kPageDown, 10, &KeyboardState::velocity, 127, 124},
        {vk::kInsert, vk::kDelete, 10, &KeyboardState::bend, 127, 120},
        {vk::kRight, vk::kLeft, 10, &KeyboardState::modulation, 127, 112},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < c.upPresses; ++i) {
            press(c.upKey); // repeats step too
        }
        EXPECT_EQ(keyboard_->state().*c.value, c.top);
        press(c.downKey);
        EXPECT_EQ(keyboard_->state().*c.value, c.afterDown);
        for (int i = 0; i < 40; ++i) {
            press(c.downKey);
        }
        EXPECT_EQ(keyboard_->state().*c.value, 0);
    }
    sent();
    press(vk::kEnd);
    press(vk::kEnd); // already centred: nothing more
    press(vk::kHome);
    for (int i = 0; i < 20; ++i) {
        press(vk::kSubtract); // the channel stops at 1
    }
    press(vk::kInsert);
    EXPECT_EQ(
        sent(),
        (Messages{{0xE0, 0, 64}, {0xB0, 123, 0}, {0xB0, 121, 0}, {0xB0, 64, 0}, {0xE0, 0, 72}}));
}

TEST_F(PcKeyboardTest, KeypadChoosesChordsAndChordButtons) {
    const KeyInput caps{.capsLock = true};
    const KeyInput scroll{.scrollLock = true};
    struct Case {
        std::vector<std::pair<int, KeyInput>> setup; // keys pressed and released first
        int key;
        KeyInput mods;
        Messages starts; // the press; the release ends these notes
    };
    const Case cases[] = {
        {{}, 'Z', caps, {{0x90, 48, 100}, {0x90, 52, 100}, {0x90, 55, 100}}},
        {{{kPad(8), {}}},
         'Z',
         caps,
         {{0x90, 48, 100}, {0x90, 52, 100}, {0x90, 55, 100}, {0x90, 60, 100}}},
        {{{vk::kDivide, {}}}, 'Z', caps, {{0x90, 48, 100}, {0x90, 51, 100}, {0x90, 54, 100}}},
        {{{vk::kDivide, {}}, {vk::kMultiply, {}}},
         'Z',
         caps,
         {{0x90, 48, 100}, {0x90, 52, 100}, {0x90, 56, 100}}},
        {{{kPad(3), {}}, {kPad(1), {}}, {vk::kDecimal, {}}},
         'Z',
         caps,
         {{0x90, 48, 100}, {0x90, 51, 100}, {0x90, 55, 100}}},
        {{}, kPad(1), scroll, {{0x90, 48, 100}, {0x90, 52, 100}, {0x90, 55, 100}, {0x90, 59, 100}}},
        {{{vk::kMultiply, scroll}, {vk::kDivide, scroll}, {vk::kF1 + 5, {.ctrl = true}}},
         kPad(2),
         scroll,
         {{0x90, 67, 100}, {0x90, 70, 100}, {0x90, 74, 100}, {0x90, 77, 100}}},
        {{{vk::kF1 + 1, {}}, {vk::kMultiply, scroll}, {vk::kMultiply, scroll}},
         kPad(1),
         scroll,
         {{0x90, 0, 100}, {0x90, 4, 100}, {0x90, 11, 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.starts.size());
        fresh();
        for (const auto& [key, mods] : c.setup) {
            press(key, mods);
            release(key, mods);
        }
        sent();
        press(c.key, c.mods);
        EXPECT_EQ(sent(), c.starts);
        release(c.key, c.mods);
        Messages ends;
        for (const KeyboardMessage& start : c.starts) {
            const bool button = c.mods.scrollLock;
            ends.push_back({static_cast<uint8_t>(button ? 0x90 : 0x80), start.data1,
                            static_cast<uint8_t>(button ? 0 : 64)});
        }
        EXPECT_EQ(sent(), ends);
    }
}

TEST_F(PcKeyboardTest, StrummedChordTonesArePacedAndTheDelayIsTyped) {
    const KeyInput caps{.capsLock = true};
    const KeyInput ctrl{.ctrl = true};
    press('A');
    release('A'); // strum on
    press(vk::kControl, ctrl);
    press('A', ctrl);
    press(kPad(5), ctrl);
    press(kPad(0), ctrl);
    release('A', ctrl); // delay 50 ms
    release(vk::kControl);
    EXPECT_EQ(keyboard_->state().strumDelayMs, 50);
    press('Z', caps);
    release('Z', caps); // released before the strum ends: its notes end after they start
    EXPECT_EQ(sent(0), (Messages{{0x90, 48, 100}}));
    EXPECT_EQ(sent(49), Messages{});
    EXPECT_EQ(sent(50), (Messages{{0x90, 52, 100}}));
    EXPECT_EQ(output_.drain(60), 40);
    EXPECT_EQ(sent(100),
              (Messages{{0x90, 55, 100}, {0x80, 48, 64}, {0x80, 52, 64}, {0x80, 55, 64}}));
    EXPECT_TRUE(output_.idle());
}

TEST(ChordGeneratorTest, EveryTypeAndFlag) {
    struct Case {
        int root;
        ChordType type;
        ChordFlags flags;
        std::vector<int> notes;
    };
    const Case cases[] = {
        {48, ChordType::Minor, {}, {48, 51, 55}},
        {48, ChordType::Major, {}, {48, 52, 55}},
        {48, ChordType::MinorSixth, {}, {48, 51, 55, 57}},
        {48, ChordType::MinorSeventh, {}, {48, 51, 55, 58}},
        {48, ChordType::Sixth, {}, {48, 52, 55, 57}},
        {48, ChordType::Seventh, {}, {48, 52, 55, 58}},
        {48, ChordType::Ninth, {}, {48, 52, 55, 58, 62}},
        {48, ChordType::Major, {.rootUp = true}, {60, 52, 55}},
        {48, ChordType::Major, {.fifthDown = true}, {48, 52, 43}},
        {48, ChordType::Major, {.augmented = true}, {48, 52, 56}},
        {48, ChordType::Major, {.diminished = true}, {48, 51, 54}},
        {48, ChordType::Major, {.addOctave = true}, {48, 52, 55, 60}},
        {48, ChordType::MinorSeventh, {.addOctave = true}, {48, 51, 55, 58, 60}},
        {48, ChordType::Ninth, {.addOctave = true}, {48, 52, 55, 58, 62}},
        {48, ChordType::Seventh, {.fifthDown = true, .diminished = true}, {48, 51, 42, 58}},
        {48, ChordType::Major, {.rootUp = true, .addOctave = true}, {60, 52, 55}}, // once
        {120, ChordType::Major, {}, {120, 124, 127}},
        {120, ChordType::Ninth, {.rootUp = true}, {124, 127}}, // out of range tones dropped
        {5, ChordType::Major, {.fifthDown = true}, {5, 9, 0}},
        {2, ChordType::Minor, {.fifthDown = true, .diminished = true}, {2, 4}},
    };
    for (const Case& c : cases) {
        const ChordTones tones = chordOf(c.root, c.type, c.flags);
        EXPECT_EQ(std::vector<int>(tones.notes.begin(), tones.notes.begin() + tones.count), c.notes)
            << static_cast<int>(c.type) << " on " << c.root;
    }
    const ChordTones top = chordButtonTones(7, 2, 9, 11);
    EXPECT_EQ(std::vector<int>(top.notes.begin(), top.notes.begin() + top.count),
              (std::vector<int>{126}));
    EXPECT_EQ(chordButtonTones(8, 0, 4, 0).count, 0u);
}

class KeyMapFileTest : public ::testing::Test {
protected:
    std::string path_ =
        (std::filesystem::path(::testing::TempDir()) /
         (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
          kKeyMapFileName))
            .string();
    void TearDown() override { std::filesystem::remove_all(path_); }
    std::string text() const { return cvx::profile::readProfileFile(path_).text; }
};

TEST_F(KeyMapFileTest, DefaultsAreFoundForEveryKey) {
    const KeyMap map;
    for (const KeyNote& key : map.keys()) {
        EXPECT_EQ(map.offsetOf(key.character), key.offset) << key.name;
    }
    EXPECT_EQ(map.offsetOf('A'), kNoNote);
    EXPECT_EQ(map.offsetOf('\\'), kNoNote);
}

TEST_F(KeyMapFileTest, ReadableEntriesReplaceDefaultsAndMissingOnesAreWritten) {
    struct Case {
        const char* file; // nullptr: no file
        std::vector<std::pair<char, int>> offsets;
    };
    const Case cases[] = {
        {nullptr, {{'Z', 0}, {']', 31}}},
        {"[KeyMap]\nZ=5\nq = 7 \n", {{'Z', 5}, {'Q', 7}, {'X', 2}}},
        {"[keymap]\nZ=abc\nX=200\nC=-2\nV=-1\nB=3.5\nN=\n",
         {{'Z', 0}, {'X', 2}, {'C', 4}, {'V', kNoNote}, {'B', 7}, {'N', 9}}},
        {"; mine\n[Other]\nZ=9\n[KeyMap]\nZ=127\nZ=1\n", {{'Z', 127}}},
        {"\xff\xfe[KeyMap\0]\nZ=\x80\n", {{'Z', 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "no file");
        std::filesystem::remove(path_);
        if (c.file != nullptr) {
            std::ofstream(path_) << c.file;
        }
        const KeyMap map = readKeyMap(path_);
        for (const auto& [character, offset] : c.offsets) {
            EXPECT_EQ(map.offsetOf(character), offset) << character;
        }
        const std::string completed = text();
        if (c.file != nullptr) {
            EXPECT_EQ(completed.find(std::string(c.file).substr(0, 6)), 0u); // kept as it was
        }
        const KeyMap again = readKeyMap(path_);
        EXPECT_EQ(text(), completed); // nothing more to add
        for (const KeyNote& key : map.keys()) {
            EXPECT_EQ(again.offsetOf(key.character), key.offset) << key.name;
        }
    }
}

TEST_F(KeyMapFileTest, AnUnreadableFileIsLeftAloneWithTheDefaults) {
    std::filesystem::create_directory(path_);
    EXPECT_EQ(readKeyMap(path_).offsetOf('Q'), 12);
    EXPECT_TRUE(std::filesystem::is_directory(path_));
}

} // namespace
} // namespace corvex
