// The control panel's and the NRPN calculator's arithmetic: the controller table, the bytes
// of every kind of send on one channel and on all, the tracked bank and program and how they
// show, field checks at and past their bounds, and NRPN numbers in both bases.
#include "instruments/control_panel.h"
#include "instruments/nrpn_numbers.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace corvex {
namespace {

using Messages = std::vector<PanelMessage>;

TEST(ControlPanelTest, TheControllerTableHoldsEveryControllerOnce) {
    const auto& table = controllerTable();
    std::set<int> codes;
    for (const ControllerEntry& entry : table) {
        EXPECT_TRUE(codes.insert(entry.code).second) << entry.code;
    }
    EXPECT_EQ(codes.size(), 130u);
    EXPECT_EQ(*codes.rbegin(), kPatchChangeCode);
    struct Row {
        size_t index;
        int code;
        std::string_view name;
    };
    const Row rows[] = {{0, 1, "Modulation"},  {18, 129, "Patch Change"},  {19, 128, "Bend Range"},
                        {23, 3, "---"},        {25, 5, "Portamento Time"}, {26, 9, "---"},
                        {27, 12, "---"},       {77, 65, "Portamento"},     {81, 69, "Hold 2"},
                        {129, 127, "Poly On"}, {126, 124, "Omni Off"}};
    for (const Row& row : rows) {
        EXPECT_EQ(table[row.index].code, row.code) << row.index;
        EXPECT_EQ(table[row.index].name, row.name) << row.index;
    }
    EXPECT_EQ(controllerCodeText(7), "7)");
    EXPECT_EQ(controllerCodeText(kBendRangeCode), "***");
}

TEST(ControlPanelTest, EachKindOfSendPutsItsMessagesInOrder) {
    Messages sent;
    ControlPanel panel([&sent](const PanelMessage& message) { sent.push_back(message); });
    panel.patchSeen(0, (0xC000 | (1 << 7) | 2) * 256 + 40);
    struct Case {
        const char* what;
        int channel;
        std::function<void()> send;
        Messages bytes;
    };
    const Case cases[] = {
        {"bend range",
         3,
         [&] { panel.sendController(kBendRangeCode, 12); },
         {{0xB0, 2, 101, 0}, {0xB0, 2, 100, 0}, {0xB0, 2, 6, 12}, {0xB0, 2, 38, 0}}},
        {"patch change", 1, [&] { panel.sendController(kPatchChangeCode, 5); }, {{0xC0, 0, 5, 0}}},
        {"volume", 16, [&] { panel.sendController(7, 127); }, {{0xB0, 15, 7, 127}}},
        {"bank both halves",
         1,
         [&] { panel.sendBank(1, 2); },
         {{0xB0, 0, 0, 1}, {0xB0, 0, 32, 2}, {0xC0, 0, 40, 0}}},
        {"bank MSB",
         1,
         [&] { panel.sendBank(3, std::nullopt); },
         {{0xB0, 0, 0, 3}, {0xC0, 0, 40, 0}}},
        {"bank LSB, no program seen",
         2,
         [&] { panel.sendBank(std::nullopt, 4); },
         {{0xB0, 1, 32, 4}, {0xC0, 1, 0, 0}}},
        {"bank, nothing checked", 1, [&] { panel.sendBank(std::nullopt, std::nullopt); }, {}},
        {"section and number", 1, [&] { panel.sendProgram(1 * 8 + 2); }, {{0xC0, 0, 10, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        panel.state().channel = c.channel;
        c.send();
        EXPECT_EQ(sent, c.bytes);
        sent.clear();
    }
    panel.state().allChannels = true;
    panel.sendController(1, 9);
    ASSERT_EQ(sent.size(), 16u);
    for (uint8_t channel = 0; channel < 16; ++channel) {
        EXPECT_EQ(sent[channel], (PanelMessage{0xB0, channel, 1, 9}));
    }
}

TEST(ControlPanelTest, TrackedBankAndProgramShowAsThePanelDisplaysThem) {
    struct Case {
        intptr_t word; // WM_CVX_PATCH_SEEN's lParam
        BankPatchDisplay display;
        std::pair<int, int> opening;
    };
    const Case cases[] = {
        {-1 * 256 + 10, {"---", "2-3", "11", 1, 2, {}, {}}, {127, 127}},
        {0x3FFF * 256 + 0, {"---", "1-1", "1", 0, 0, {}, {}}, {127, 127}},
        {(0xC000 | 130) * 256 + 127, {"130", "16-8", "128", 15, 7, 1, 2}, {1, 2}},
        {(0x4000 | 5) * 256 + 64, {"5", "9-1", "65", 8, 0, 0, 5}, {0, 5}},
        {-1 * 256 - 1, {}, {127, 127}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        const TrackedChannel tracked = trackedFromPatchWord(c.word);
        const BankPatchDisplay shown = bankPatchDisplay(tracked);
        EXPECT_EQ(shown.bank, c.display.bank);
        EXPECT_EQ(shown.patch, c.display.patch);
        EXPECT_EQ(shown.program, c.display.program);
        EXPECT_EQ(shown.section, c.display.section);
        EXPECT_EQ(shown.number, c.display.number);
        EXPECT_EQ(shown.msb, c.display.msb);
        EXPECT_EQ(shown.lsb, c.display.lsb);
        if (tracked.bankWord >= 0x4000) {
            EXPECT_EQ(openingBank(tracked), c.opening);
        }
    }
    EXPECT_EQ(openingBank({10, -1}), (std::pair{127, 127}));
}

TEST(ControlPanelTest, FieldsOutOfRangeTakeTheNearestBound) {
    struct Case {
        const char* text;
        int low, high;
        CheckedNumber result;
    };
    const Case cases[] = {
        {"20", 1, 16, {16, true}},
        {"abc", 1, 16, {1, true}},
        {"", 1, 16, {1, true}},
        {" 5 ", 1, 16, {5, false}},
        {"-3", 0, 127, {0, true}},
        {"+127", 0, 127, {127, false}},
        {"12x", 0, 127, {0, false}},
        {"99999999999999999999", 0, 127, {127, true}},
        {"-99999999999999999999", 0, 127, {0, true}},
    };
    for (const Case& c : cases) {
        const CheckedNumber checked = checkPanelField(c.text, c.low, c.high);
        EXPECT_EQ(checked.number, c.result.number) << c.text;
        EXPECT_EQ(checked.corrected, c.result.corrected) << c.text;
    }
}

TEST(NrpnNumbersTest, FieldsReadAndCorrectInBothBases) {
    struct Case {
        const char* text;
        NrpnField field;
        NumberBase base;
        int parsed;
        CheckedField checked;
    };
    constexpr NumberBase dec = NumberBase::Decimal;
    constexpr NumberBase hex = NumberBase::Hex;
    const Case cases[] = {
        {"130", NrpnField::Value, dec, 130, {130, false}},
        {" 0082 ", NrpnField::Value, hex, 130, {130, false}},
        {"3fFF", NrpnField::Value, hex, 16383, {16383, false}},
        {"16384", NrpnField::Value, dec, 16384, {16383, true}},
        {"200", NrpnField::Lsb, dec, 200, {127, true}},
        {"7F", NrpnField::Msb, hex, 127, {127, false}},
        {"80", NrpnField::Msb, hex, 128, {127, true}},
        {"G1", NrpnField::Msb, hex, -1, {0, true}},
        {"7F", NrpnField::Msb, dec, -1, {0, true}},
        {"-1", NrpnField::Lsb, dec, -1, {0, true}},
        {"", NrpnField::Lsb, dec, 0, {0, false}},
        {"1 2", NrpnField::Lsb, dec, -1, {0, true}},
        {"999999999999999999999", NrpnField::Value, dec, 1 << 20, {16383, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseNrpnText(c.text, c.base), c.parsed);
        const CheckedField checked = checkNrpnField(c.text, c.field, c.base);
        EXPECT_EQ(checked.number, c.checked.number);
        EXPECT_EQ(checked.corrected, c.checked.corrected);
    }
}

TEST(NrpnNumbersTest, PairAndValueFollowEachOtherAtTheEdges) {
    struct Case {
        int msb, lsb, value;
        const char* hexValue;
        const char* hexMsb;
    };
    const Case cases[] = {
        {1, 2, 130, "0082", "01"},   {127, 127, 16383, "3FFF", "7F"}, {0, 0, 0, "0000", "00"},
        {0, 127, 127, "007F", "00"}, {127, 0, 16256, "3F80", "7F"},
    };
    for (const Case& c : cases) {
        NrpnNumbers numbers;
        numbers.setPair(c.msb, c.lsb);
        EXPECT_EQ(numbers.value, c.value);
        numbers.setValue(c.value);
        EXPECT_EQ(numbers.msb, c.msb);
        EXPECT_EQ(numbers.lsb, c.lsb);
        EXPECT_EQ(formatNrpnField(c.value, NrpnField::Value, NumberBase::Hex), c.hexValue);
        EXPECT_EQ(formatNrpnField(c.msb, NrpnField::Msb, NumberBase::Hex), c.hexMsb);
        EXPECT_EQ(formatNrpnField(c.value, NrpnField::Value, NumberBase::Decimal),
                  std::to_string(c.value));
    }
}

} // namespace
} // namespace corvex
