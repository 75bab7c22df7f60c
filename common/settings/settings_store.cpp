#include "settings/settings_store.h"

#include "settings/folders.h"
#include "settings/settings_text.h"

#include "ini/profile_file.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace corvex {

namespace {

namespace fs = std::filesystem;
using cvx::profile::ReadStatus;

constexpr int kMaxDamagedNames = 100;

// An advisory lock on the store's lock file, held while the object lives.
class StoreLock {
public:
    StoreLock(const std::string& storePath, int operation) {
        std::string lockPath = storePath + ".lock";
        fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            return;
        }
        int result = 0;
        do {
            result = ::flock(fd_, operation);
        } while (result != 0 && errno == EINTR);
        if (result != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~StoreLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

enum class FileState { Sound, Missing, Damaged, Unreadable };

struct StoreFile {
    FileState state = FileState::Missing;
    ParsedSettings parsed;
};

bool isOversizedRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           static_cast<uint64_t>(info.st_size) > cvx::profile::kMaxProfileBytes;
}

StoreFile readStoreFile(const std::string& path) {
    cvx::profile::ProfileText file = cvx::profile::readProfileFile(path);
    StoreFile result;
    if (file.status == ReadStatus::Missing) {
        return result;
    }
    if (file.status == ReadStatus::Failed) {
        if (!isOversizedRegularFile(path)) {
            result.state = FileState::Unreadable;
            return result;
        }
        result.state = FileState::Damaged;
        result.parsed.problems.push_back("the file is too large to be a settings store");
        return result;
    }
    result.parsed = parseSettingsText(file.text);
    result.state = result.parsed.problems.empty() ? FileState::Sound : FileState::Damaged;
    return result;
}

std::string timeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

std::string freeDamagedName(const std::string& path) {
    std::string base = path + ".damaged-" + timeStamp();
    std::error_code error;
    if (!fs::exists(base, error)) {
        return base;
    }
    for (int n = 2; n < kMaxDamagedNames; ++n) {
        std::string candidate = base + "-" + std::to_string(n);
        if (!fs::exists(candidate, error)) {
            return candidate;
        }
    }
    return {};
}

std::string joinProblems(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems) {
        text += text.empty() ? "" : "; ";
        text += problem;
    }
    return text;
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(settingsStorePath()) {}

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) {}

SettingsTree SettingsStore::read() {
    std::error_code error;
    if (path_.empty() || !fs::exists(fs::path(path_).parent_path(), error)) {
        return {};
    }
    StoreFile file;
    {
        StoreLock shared(path_, LOCK_SH);
        file = readStoreFile(path_);
    }
    if (file.state == FileState::Damaged) {
        StoreLock exclusive(path_, LOCK_EX);
        file = readStoreFile(path_);
        if (file.state == FileState::Damaged && exclusive.held() &&
            putDamagedAside(file.parsed.problems)) {
            cvx::profile::replaceProfileFile(path_, formatSettingsText(file.parsed.tree));
        }
    }
    return std::move(file.parsed.tree);
}

bool SettingsStore::update(const std::function<bool(SettingsTree&)>& edit) {
    if (path_.empty()) {
        return false;
    }
    std::error_code error;
    fs::create_directories(fs::path(path_).parent_path(), error);
    StoreLock exclusive(path_, LOCK_EX);
    if (!exclusive.held()) {
        return false;
    }
    StoreFile file = readStoreFile(path_);
    if (file.state == FileState::Unreadable) {
        return false;
    }
    if (file.state == FileState::Damaged && !putDamagedAside(file.parsed.problems)) {
        return false;
    }
    if (!edit(file.parsed.tree)) {
        return false;
    }
    return cvx::profile::replaceProfileFile(path_, formatSettingsText(file.parsed.tree));
}

bool SettingsStore::putDamagedAside(const std::vector<std::string>& problems) {
    std::string aside = freeDamagedName(path_);
    if (aside.empty() || std::rename(path_.c_str(), aside.c_str()) != 0) {
        return false;
    }
    damageNotice_ = "The settings file \"" + path_ + "\" could not be read in full (" +
                    joinProblems(problems) + "). It was kept as \"" + aside +
                    "\"; the settings that could be read are used, all others have their "
                    "defaults.";
    return true;
}

std::string SettingsStore::takeDamageNotice() {
    return std::exchange(damageNotice_, {});
}

std::optional<uint32_t> SettingsStore::readDword(std::string_view key, std::string_view name) {
    return read().dword(key, name);
}

std::optional<uint64_t> SettingsStore::readQword(std::string_view key, std::string_view name) {
    return read().qword(key, name);
}

std::optional<std::string> SettingsStore::readString(std::string_view key, std::string_view name) {
    return read().string(key, name);
}

std::optional<std::vector<uint8_t>> SettingsStore::readBinary(std::string_view key,
                                                              std::string_view name, size_t size) {
    return read().binary(key, name, size);
}

bool SettingsStore::writeDword(std::string_view key, std::string_view name, uint32_t value) {
    return update([&](SettingsTree& tree) { return tree.setDword(key, name, value); });
}

bool SettingsStore::writeQword(std::string_view key, std::string_view name, uint64_t value) {
    return update([&](SettingsTree& tree) { return tree.setQword(key, name, value); });
}

bool SettingsStore::writeString(std::string_view key, std::string_view name,
                                std::string_view value) {
    return update([&](SettingsTree& tree) { return tree.setString(key, name, value); });
}

bool SettingsStore::writeBinary(std::string_view key, std::string_view name, const void* data,
                                size_t size) {
    return update([&](SettingsTree& tree) { return tree.setBinary(key, name, data, size); });
}

bool SettingsStore::deleteValue(std::string_view key, std::string_view name) {
    return update([&](SettingsTree& tree) { return tree.removeValue(key, name); });
}

bool SettingsStore::deleteKey(std::string_view key) {
    return update([&](SettingsTree& tree) { return tree.removeKey(key); });
}

std::vector<std::string> SettingsStore::subkeys(std::string_view key) {
    return read().subkeys(key);
}

std::vector<std::string> SettingsStore::valueNames(std::string_view key) {
    return read().valueNames(key);
}

} // namespace corvex
