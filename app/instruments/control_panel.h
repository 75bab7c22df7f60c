// What the control panel sends and shows, without its window: the controller table, the
// messages of one send (a controller, the pitch-bend range, a program change or a bank
// change by the checked halves), on one channel or all 16, the bank and program last seen on
// each channel, and the panel's settings kept for the program's run.
//
// Threads: the user-interface thread only.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvex {

struct ControllerEntry {
    int code; // 0-127 a controller; kBendRangeCode, kPatchChangeCode
    std::string_view name;
};

inline constexpr int kBendRangeCode = 128;
inline constexpr int kPatchChangeCode = 129;
inline constexpr size_t kControllerEntryCount = 130;

// The "Controller Event" list in its order.
const std::array<ControllerEntry, kControllerEntryCount>& controllerTable();
// The list's code column: "7)" for a controller, "***" for the two others.
std::string controllerCodeText(int code);

struct PanelMessage {
    uint8_t status; // 0xB0 or 0xC0, without the channel
    uint8_t channel;
    uint8_t data1;
    uint8_t data2;
    bool operator==(const PanelMessage&) const = default;
};

// The messages of one send of entry `code` with `value` on `channel` (0-15).
std::vector<PanelMessage> controllerMessages(int code, int value, int channel);
// A bank change by the given halves, then the program change to `program` (-1 unknown: 0).
std::vector<PanelMessage> bankMessages(std::optional<int> msb, std::optional<int> lsb, int program,
                                       int channel);
std::vector<PanelMessage> programMessages(int program, int channel);

// The bank and program last seen on a channel.
struct TrackedChannel {
    int program = -1;  // -1 none seen
    int bankWord = -1; // -1 no entry; bits 0-13 the bank, 14 LSB seen, 15 MSB seen
};

// The WM_CVX_PATCH_SEEN word (bank word x 256 + program) taken apart.
TrackedChannel trackedFromPatchWord(intptr_t word);

// What the bank/patch part shows for a channel.
struct BankPatchDisplay {
    std::string bank;            // "---" without a known bank, empty without a program
    std::string patch;           // "section-number"
    std::string program;         // 1-128
    int section = -1;            // 0-15, -1 none checked
    int number = -1;             // 0-7
    std::optional<int> msb, lsb; // the bank fields' new values, when a bank is known
};
BankPatchDisplay bankPatchDisplay(const TrackedChannel& channel);

// The bank fields' values when the panel opens: the tracked bank's halves, 127 and 127
// without a bank entry.
std::pair<int, int> openingBank(const TrackedChannel& channel);

// A field's number: text that is not a whole number reads as 0; out of [low, high] it is the
// nearest bound, marked corrected.
struct CheckedNumber {
    int number = 0;
    bool corrected = false;
};
CheckedNumber checkPanelField(std::string_view text, int low, int high);

// The panel's settings, kept in memory from one opening to the next.
struct ControlPanelState {
    int channel = 1; // 1-16
    int controller = 0;
    int value = 0;
    bool autoSend = true;
    bool msbOn = true;
    bool lsbOn = true; // the bank fields themselves show the channel's bank at each opening
    bool allChannels = false;
};

// The panel's sending: every message set goes to the one channel, or to channels 1-16 in
// turn, through `send`.
class ControlPanel {
public:
    using Sender = std::function<void(const PanelMessage&)>;

    explicit ControlPanel(Sender send) : send_(std::move(send)) {}

    ControlPanelState& state() { return state_; }
    const TrackedChannel& tracked(int channel) const; // channel 1-16
    // WM_CVX_PATCH_SEEN: channel 0-15 and the bank/program word.
    void patchSeen(int channel, intptr_t word);

    void sendController(int code, int value);
    void sendBank(std::optional<int> msb, std::optional<int> lsb);
    void sendProgram(int program);

private:
    template <typename Make> void sendSet(Make make);

    Sender send_;
    ControlPanelState state_;
    std::array<TrackedChannel, 16> tracked_{};
};

} // namespace corvex
