#include "shell/instance_slots.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvex {
namespace {

std::string slotPath(const std::string& folder, int slot) {
    return folder + "/slot-" + std::to_string(slot) + ".lock";
}

int openLockFile(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

bool lockWithoutWaiting(int fd) {
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// Serialises claims and probes between processes for as long as it lives.
class GuardLock {
public:
    explicit GuardLock(const std::string& folder) : fd_(openLockFile(folder + "/slots.lock")) {
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~GuardLock() {
        if (fd_ >= 0) {
            ::close(fd_); // closing releases the lock
        }
    }
    GuardLock(const GuardLock&) = delete;
    GuardLock& operator=(const GuardLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

// True when another open file description holds the slot's lock. Only called under the guard,
// so the brief probe lock never collides with a claim.
bool slotHeldElsewhere(const std::string& folder, int slot) {
    const int fd = openLockFile(slotPath(folder, slot));
    if (fd < 0) {
        return false;
    }
    const bool free = lockWithoutWaiting(fd);
    ::close(fd);
    return !free;
}

bool makePrivateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

} // namespace

std::string instanceLockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder;
    if (runtime != nullptr && runtime[0] == '/') {
        folder = std::string(runtime) + "/corvex";
    } else {
        folder = "/tmp/corvex-" + std::to_string(::getuid());
    }
    return makePrivateFolder(folder) ? folder : std::string();
}

InstanceSlot::InstanceSlot(int fd, int slot, int runningCount)
    : fd_(fd), slot_(slot), runningCount_(runningCount) {}

InstanceSlot::InstanceSlot(InstanceSlot&& other) noexcept
    : fd_(other.fd_), slot_(other.slot_), runningCount_(other.runningCount_) {
    other.fd_ = -1;
}

InstanceSlot& InstanceSlot::operator=(InstanceSlot&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = other.fd_;
        slot_ = other.slot_;
        runningCount_ = other.runningCount_;
        other.fd_ = -1;
    }
    return *this;
}

InstanceSlot::~InstanceSlot() {
    release();
}

void InstanceSlot::release() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::optional<InstanceSlot> claimInstanceSlot(const std::string& folder) {
    if (folder.empty()) {
        return std::nullopt;
    }
    GuardLock guard(folder);
    if (!guard.held()) {
        return std::nullopt;
    }
    for (int slot = 0; slot < kInstanceSlotCount; ++slot) {
        const int fd = openLockFile(slotPath(folder, slot));
        if (fd < 0) {
            continue;
        }
        if (!lockWithoutWaiting(fd)) {
            ::close(fd);
            continue;
        }
        int others = 0;
        for (int other = slot + 1; other < kInstanceSlotCount; ++other) {
            others += slotHeldElsewhere(folder, other) ? 1 : 0;
        }
        return InstanceSlot(fd, slot, 1 + slot + others); // every lower slot is held
    }
    return std::nullopt;
}

std::vector<int> heldInstanceSlots(const std::string& folder) {
    std::vector<int> held;
    if (folder.empty()) {
        return held;
    }
    GuardLock guard(folder);
    if (!guard.held()) {
        return held;
    }
    for (int slot = 0; slot < kInstanceSlotCount; ++slot) {
        if (slotHeldElsewhere(folder, slot)) {
            held.push_back(slot);
        }
    }
    return held;
}

} // namespace corvex
