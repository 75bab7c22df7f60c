// The filter as the "Filter" dialog and its two detail dialogs edit it: which box stands for
// which bit, the three-state group boxes (controllers, system common, system real-time), the
// list entries of the detail dialogs, and the record OK builds. The editor works on a private
// copy; nothing reaches the caller's record before result().
//
// Not thread-safe: the user-interface thread owns an editor. The tables are constant.
#pragma once

#include "cvx_records.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace corvex {

// One check box or list entry and the bit it stands for.
struct FilterBit {
    uint32_t mask;
    const char* caption;
};

// The message-type boxes without groups, in dialog order ("&Note On" ... "Pitch &Bend").
std::span<const FilterBit> filterMessageTypeBoxes();
// The entries of the "Filter System Common" and "Filter System Realtime " lists.
std::span<const FilterBit> systemCommonEntries();
std::span<const FilterBit> systemRealtimeEntries();

// "7-Volume" for a named controller, "3" for any other (0-127).
std::string controllerEntryName(int controller);

inline constexpr uint32_t kFilterChannelMask = 0x0000FFFFu;
inline constexpr uint32_t kSystemCommonMask = 0x000Fu;
inline constexpr uint32_t kSystemRealtimeMask = 0x3F00u;

// The Filter command is shown "on" exactly when any of bits 0-26 of filterFlags is set.
bool filterIsActive(const CFilter& filter);

enum class FilterGroup { Controllers, SystemCommon, SystemRealtime };
enum class BoxState { Unchecked, Checked, Partial };

// Whether `controller` (0-127) is filtered.
bool controllerFiltered(const CFilter& filter, int controller);
void setControllerFiltered(CFilter& filter, int controller, bool on);

class FilterEditor {
public:
    // Opening: every box from its bit; a group box shows its group's state when its summary
    // bit is set and is unchecked otherwise.
    explicit FilterEditor(const CFilter& start);

    bool channel(int index) const; // 0-15
    void setChannel(int index, bool on);
    // "A&ll" and "&None".
    void setAllChannels(bool on);

    // A message-type box by its mask (filterMessageTypeBoxes).
    bool messageType(uint32_t mask) const;
    void setMessageType(uint32_t mask, bool on);

    bool dataAsWellAsDisplay() const { return dataToo_; }
    void setDataAsWellAsDisplay(bool on) { dataToo_ = on; }
    bool inputMonitorToo() const { return rawMonitor_; }
    void setInputMonitorToo(bool on) { rawMonitor_ = on; }
    bool displaySysEx() const { return displaySysEx_; }
    void setDisplaySysEx(bool on) { displaySysEx_ = on; }

    BoxState box(FilterGroup group) const;
    // The state of a group's bits alone: none, all or some set.
    BoxState groupState(FilterGroup group) const;
    // A click on a group box: all selected -> all cleared; some -> all selected. Returns
    // true when none is selected: the caller opens the group's detail dialog instead.
    bool clickGroup(FilterGroup group);

    // The detail dialogs: entry `index` of the group's list (controllers 0-127, or the
    // entries of systemCommonEntries / systemRealtimeEntries).
    int entryCount(FilterGroup group) const;
    bool entry(FilterGroup group, int index) const;
    // A detail dialog's OK: its selection replaces the group's bits (others are carried) and
    // the group box shows the group's state.
    void setEntries(FilterGroup group, std::span<const bool> selected);

    // OK: filterFlags rebuilt from the boxes alone (a partial box counts as set; bits 23,
    // 26, 30 and 31 become 0); systemFilter and controllerFilter from the private copy.
    CFilter result() const;

private:
    CFilter copy_;
    uint32_t boxes_ = 0; // channels and message-type boxes, as filterFlags bits
    std::array<BoxState, 3> groupBoxes_{};
    bool dataToo_ = false;
    bool rawMonitor_ = false;
    bool displaySysEx_ = true;
};

} // namespace corvex
