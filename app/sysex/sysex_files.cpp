#include "sysex/sysex_files.h"

#include "sysex/sysex_hex.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvex {

namespace {

std::string openError(int error) {
    return std::string("Error trying to open the file: ") + std::strerror(error);
}

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
    }
    return out;
}

} // namespace

bool writeAllTo(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

SysExKind loadSourceKind(SysExLoadFilter filter) {
    return filter == SysExLoadFilter::Text ? SysExKind::TextFile : SysExKind::BinaryFile;
}

SysExKind loadTextKind(SysExLoadFilter filter) {
    switch (filter) {
    case SysExLoadFilter::FormattedSysEx:
    case SysExLoadFilter::Formatted:
        return SysExKind::FormattedHex;
    case SysExLoadFilter::Text:
        return SysExKind::Text;
    default:
        return SysExKind::PlainHex;
    }
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = openError(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = std::strerror(errno);
        ::close(fd);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = openError(EISDIR);
        ::close(fd);
        return false;
    }
    bytes.clear();
    bytes.resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            error = got < 0 ? std::strerror(errno) : "The file became shorter while reading it";
            ::close(fd);
            return false;
        }
        done += static_cast<size_t>(got);
    }
    ::close(fd);
    return true;
}

SysExLoad loadSysExFile(const std::string& path, SysExLoadFilter filter) {
    SysExLoad load;
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes, load.error)) {
        return load;
    }
    load.sourceKind = loadSourceKind(filter);
    load.textKind = loadTextKind(filter);
    load.text = load.sourceKind == SysExKind::TextFile ? std::string(bytes.begin(), bytes.end())
                                                       : bytesAsText(bytes, load.textKind);
    load.ok = true;
    return load;
}

bool replaceFileWith(const std::string& path, std::string_view bytes, std::string& error) {
    std::string temporary = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool written = writeAllTo(fd, bytes) && ::fsync(fd) == 0;
    int writeErrno = errno;
    bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::strerror(written && closed ? errno : writeErrno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool saveSysExBinary(const std::string& path, std::string_view text, SysExKind textKind,
                     std::string& error) {
    std::vector<uint8_t> bytes = paneBytes(text, textKind);
    if (bytes.empty()) {
        error = "The text holds no hex bytes";
        return false;
    }
    return replaceFileWith(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

bool saveSysExText(const std::string& path, std::string_view text, std::string& error) {
    return replaceFileWith(path, withCrLf(text), error);
}

bool isUsableFilePath(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace corvex
