#include "ini/profile_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cvx::profile {

namespace {

constexpr mode_t kNewFileMode = 0644;

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded (it can report a failed write).
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool readAll(int fd, std::string& text) {
    char chunk[8192];
    while (true) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || text.size() + static_cast<size_t>(got) > kMaxProfileBytes) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        text.append(chunk, static_cast<size_t>(got));
    }
}

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t put = ::write(fd, text.data(), text.size());
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<size_t>(put));
    }
    return true;
}

// The file to replace: the target of a symbolic link, else the path itself.
std::string replacedPath(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        ::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

mode_t modeToKeep(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : kNewFileMode;
}

bool writeTemporary(int fd, std::string_view text, mode_t mode) {
    return ::fchmod(fd, mode) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
}

} // namespace

ProfileText readProfileFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        return {errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed, {}};
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {ReadStatus::Failed, {}};
    }
    ProfileText result{ReadStatus::Read, {}};
    if (!readAll(fd.get(), result.text)) {
        return {ReadStatus::Failed, {}};
    }
    return result;
}

bool replaceProfileFile(const std::string& path, std::string_view text) {
    if (text.size() > kMaxProfileBytes) {
        return false;
    }
    std::string target = replacedPath(path);
    std::string temporary = target + ".XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        return false;
    }
    bool written = writeTemporary(fd.get(), text, modeToKeep(target));
    if (!fd.close() || !written || std::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace cvx::profile
