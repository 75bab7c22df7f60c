// Instance slots: up to sixteen instances of the program run side by side, each holding one
// slot 0..15 for its whole life. A slot is held by an exclusive flock on
// "<folder>/slot-N.lock" (folder: $XDG_RUNTIME_DIR/corvex), so the kernel frees the slot of
// a process that dies, however it dies. Claims and probes take "<folder>/slots.lock" first,
// so two processes starting at the same moment get different slots and a probe never makes
// a starting process see a free slot as taken.
//
// Used on the user-interface thread at start-up and shutdown; not thread-safe.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace corvex {

inline constexpr int kInstanceSlotCount = 16;

// $XDG_RUNTIME_DIR/corvex, or /tmp/corvex-<uid> when there is no runtime folder; created
// (mode 0700) when missing. Empty when it cannot be created.
std::string instanceLockFolder();

// One claimed slot; the claim lasts until release() or destruction (or the process's end).
class InstanceSlot {
public:
    InstanceSlot(InstanceSlot&& other) noexcept;
    InstanceSlot& operator=(InstanceSlot&& other) noexcept;
    InstanceSlot(const InstanceSlot&) = delete;
    InstanceSlot& operator=(const InstanceSlot&) = delete;
    ~InstanceSlot();

    int slot() const { return slot_; }                 // 0..15
    int instanceNumber() const { return slot_ + 1; }   // names "Profile %d"
    int runningCount() const { return runningCount_; } // 1 + others live at the claim
    void release();

private:
    friend std::optional<InstanceSlot> claimInstanceSlot(const std::string& folder);
    InstanceSlot(int fd, int slot, int runningCount);

    int fd_ = -1;
    int slot_ = -1;
    int runningCount_ = 0;
};

// Claims the lowest free slot; nothing when all sixteen are held or the folder is unusable.
std::optional<InstanceSlot> claimInstanceSlot(const std::string& folder);

// The slots held now, lowest first (a slot this process claimed is listed too).
std::vector<int> heldInstanceSlots(const std::string& folder);

} // namespace corvex
