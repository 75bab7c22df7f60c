#include "instruments/control_panel.h"

#include "instruments/trimmed_text.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace corvex {
namespace {

constexpr uint8_t kController = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr int kBankSelectMsb = 0;
constexpr int kBankSelectLsb = 32;
constexpr int kBankKnownFlags = 0x4000;

constexpr std::string_view kUnnamed = "---";

constexpr ControllerEntry kFirstEntries[] = {
    {1, "Modulation"},
    {7, "Volume"},
    {8, "Balance"},
    {10, "PAN"},
    {11, "Expression"},
    {64, "Pedal (Sustain)"},
    {91, "Reverb Depth"},
    {92, "Tremolo Depth"},
    {93, "Chorus Depth"},
    {98, "NRPN LSB"},
    {99, "NRPN MSB"},
    {6, "Data Entry MSB"},
    {38, "Data Entry LSB"},
    {100, "RPN LSB"},
    {101, "RPN MSB"},
    {96, "Data Increment"},
    {97, "Data Decrement"},
    {123, "All Notes Off"},
    {kPatchChangeCode, "Patch Change"},
    {kBendRangeCode, "Bend Range"},
    {0, "Bank MSB"},
    {32, "Bank LSB"},
    {2, "Breath"},
    {3, kUnnamed},
    {4, "Foot Controller"},
    {5, "Portamento Time"},
};

constexpr ControllerEntry kNamedControllers[] = {
    {65, "Portamento"},       {66, "Pedal-Sostenuto"}, {67, "Pedal-Soft"},   {69, "Hold 2"},
    {71, "Harmonic Content"}, {72, "Release Time"},    {73, "Attack Time"},  {74, "Brightness"},
    {84, "Portamento Ctrl"},  {94, "Celeste Depth"},   {95, "Phaser Depth"}, {120, "All Sound Off"},
    {121, "Reset Cntrl"},     {122, "Local Cntrl"},    {124, "Omni Off"},    {125, "Omni On"},
    {126, "Mono On"},         {127, "Poly On"},
};

// The first entries, then every other controller number in ascending order.
constexpr std::array<ControllerEntry, kControllerEntryCount> makeTable() {
    std::array<ControllerEntry, kControllerEntryCount> table{};
    size_t next = 0;
    for (const ControllerEntry& entry : kFirstEntries) {
        table[next++] = entry;
    }
    for (int code = 0; code < 128; ++code) {
        if (std::ranges::find(kFirstEntries, code, &ControllerEntry::code) !=
            std::end(kFirstEntries)) {
            continue;
        }
        const auto* named = std::ranges::find(kNamedControllers, code, &ControllerEntry::code);
        table[next++] = {code, named != std::end(kNamedControllers) ? named->name : kUnnamed};
    }
    return table;
}

constexpr std::array<ControllerEntry, kControllerEntryCount> kTable = makeTable();

PanelMessage controller(int number, int value, int channel) {
    return {kController, static_cast<uint8_t>(channel), static_cast<uint8_t>(number),
            static_cast<uint8_t>(value)};
}

} // namespace

const std::array<ControllerEntry, kControllerEntryCount>& controllerTable() {
    return kTable;
}

std::string controllerCodeText(int code) {
    return code > 127 ? std::string("***") : std::to_string(code) + ")";
}

std::vector<PanelMessage> controllerMessages(int code, int value, int channel) {
    switch (code) {
    case kBendRangeCode: // RPN 0, left selected
        return {controller(101, 0, channel), controller(100, 0, channel),
                controller(6, value, channel), controller(38, 0, channel)};
    case kPatchChangeCode:
        return programMessages(value, channel);
    default:
        return {controller(code, value, channel)};
    }
}

std::vector<PanelMessage> bankMessages(std::optional<int> msb, std::optional<int> lsb, int program,
                                       int channel) {
    std::vector<PanelMessage> messages;
    if (!msb && !lsb) {
        return messages;
    }
    if (msb) {
        messages.push_back(controller(kBankSelectMsb, *msb, channel));
    }
    if (lsb) {
        messages.push_back(controller(kBankSelectLsb, *lsb, channel));
    }
    messages.push_back(programMessages(std::max(program, 0), channel).front());
    return messages;
}

std::vector<PanelMessage> programMessages(int program, int channel) {
    return {{kProgramChange, static_cast<uint8_t>(channel), static_cast<uint8_t>(program), 0}};
}

TrackedChannel trackedFromPatchWord(intptr_t word) {
    const int program = static_cast<int8_t>(word & 0xFF);
    const intptr_t bank = (word - program) / 256;
    return {program < 0 ? -1 : program, bank < 0 || bank > 0xFFFF ? -1 : static_cast<int>(bank)};
}

BankPatchDisplay bankPatchDisplay(const TrackedChannel& channel) {
    BankPatchDisplay display;
    if (channel.program < 0) {
        return display;
    }
    if (channel.bankWord < kBankKnownFlags) {
        display.bank = std::string(kUnnamed);
    } else {
        display.msb = (channel.bankWord >> 7) & 0x7F;
        display.lsb = channel.bankWord & 0x7F;
        display.bank = std::to_string(channel.bankWord & 0x3FFF);
    }
    display.section = channel.program / 8;
    display.number = channel.program % 8;
    display.patch = std::to_string(display.section + 1) + "-" + std::to_string(display.number + 1);
    display.program = std::to_string(channel.program + 1);
    return display;
}

std::pair<int, int> openingBank(const TrackedChannel& channel) {
    if (channel.bankWord < 0) {
        return {127, 127};
    }
    return {(channel.bankWord >> 7) & 0x7F, channel.bankWord & 0x7F};
}

CheckedNumber checkPanelField(std::string_view text, int low, int high) {
    text = trimmedText(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    long long number = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, number);
    if (error == std::errc::result_out_of_range) {
        number = text.front() == '-' ? std::numeric_limits<long long>::min()
                                     : std::numeric_limits<long long>::max();
    } else if (text.empty() || error != std::errc() || last != end) {
        number = 0;
    }
    const long long bounded = std::clamp<long long>(number, low, high);
    return {static_cast<int>(bounded), bounded != number};
}

const TrackedChannel& ControlPanel::tracked(int channel) const {
    return tracked_[static_cast<size_t>(std::clamp(channel, 1, 16) - 1)];
}

void ControlPanel::patchSeen(int channel, intptr_t word) {
    if (channel >= 0 && channel < 16) {
        tracked_[static_cast<size_t>(channel)] = trackedFromPatchWord(word);
    }
}

template <typename Make> void ControlPanel::sendSet(Make make) {
    const int first = state_.allChannels ? 0 : state_.channel - 1;
    const int last = state_.allChannels ? 15 : state_.channel - 1;
    for (int channel = first; channel <= last; ++channel) {
        for (const PanelMessage& message : make(channel)) {
            send_(message);
        }
    }
}

void ControlPanel::sendController(int code, int value) {
    sendSet([&](int channel) { return controllerMessages(code, value, channel); });
}

void ControlPanel::sendBank(std::optional<int> msb, std::optional<int> lsb) {
    sendSet([&](int channel) {
        return bankMessages(msb, lsb, tracked_[static_cast<size_t>(channel)].program, channel);
    });
}

void ControlPanel::sendProgram(int program) {
    sendSet([&](int channel) { return programMessages(program, channel); });
}

} // namespace corvex
