#include "shell/command_line.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvex {
namespace {

constexpr size_t kMaxProfileBytes = 4u << 20;

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The text after the last "." of the file name (not of a folder name), lower-cased.
std::string extensionOf(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string() : lowerCase(name.substr(dot + 1));
}

// Opens without following into a FIFO's or device's blocking open: only regular files count.
int openRegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> readSmallFile(const std::string& path) {
    const int fd = openRegularFile(path);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string bytes;
    std::array<char, 65536> chunk{};
    for (;;) {
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got < 0 || bytes.size() + static_cast<size_t>(got) > kMaxProfileBytes) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        bytes.append(chunk.data(), static_cast<size_t>(got));
    }
    ::close(fd);
    return bytes;
}

// The word of a switch argument, or nothing when the argument is a file argument.
std::optional<std::string> switchWord(const std::string& argument) {
    if (argument.starts_with("--")) {
        return lowerCase(std::string_view(argument).substr(2));
    }
    if (argument.starts_with("-")) {
        return lowerCase(std::string_view(argument).substr(1));
    }
    if (argument.starts_with("/")) {
        static constexpr std::array<std::string_view, 8> kKnown = {
            "open", "play", "send", "mintray", "unregserver", "regserver", "install", "reg"};
        const std::string word = lowerCase(std::string_view(argument).substr(1));
        if (std::find(kKnown.begin(), kKnown.end(), word) != kKnown.end() &&
            !isRegularFile(argument)) {
            return word;
        }
    }
    return std::nullopt;
}

Registration registrationOf(const std::vector<std::string>& arguments) {
    if (arguments.empty()) {
        return Registration::None;
    }
    const std::optional<std::string> word = switchWord(arguments.back());
    if (!word) {
        return Registration::None;
    }
    if (*word == "unregserver") {
        return Registration::UnregServer;
    }
    if (*word == "regserver") {
        return Registration::RegServer;
    }
    if (*word == "install") {
        return Registration::Install;
    }
    if (*word == "reg") {
        return Registration::Reg;
    }
    return Registration::None;
}

// The argument as an absolute path against this process's working folder: a running
// instance that takes it over, and the settings that keep it, live in other folders.
std::string absolutePathOf(const std::string& argument) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(argument, error);
    return error ? argument : absolute.lexically_normal().string();
}

// Kinds that the program starts normally with (itself, other programs, MIDI files, its own
// files that the command line does not open) set "start normally" only when nothing more
// specific was found yet, so they never undo a named profile, map or SysEx file.
void startNormally(CommandLine& line) {
    if (line.result == 0) {
        line.result = 2;
    }
}

void classifyFileArgument(CommandLine& line, const std::string& argument, FileVerb verb) {
    if (argument.empty()) {
        line.result = 1;
        return;
    }
    const std::string lower = lowerCase(argument);
    if (endsWith(lower, "corvex") || endsWith(lower, "corvex.exe")) {
        startNormally(line);
        return;
    }
    if (!isRegularFile(argument)) {
        line.result = 1;
        return;
    }
    const std::string extension = extensionOf(argument);
    if (extension == "mxs") {
        startNormally(line);
        line.snapshotPath = absolutePathOf(argument);
    } else if (extension == "exe" || extension == "mid" || extension == "mff" ||
               extension == "pmi") {
        startNormally(line);
    } else if (extension == "syx" || extension == "cbk") {
        line.sysexPath = absolutePathOf(argument);
        line.sysexVerb = verb;
        line.result = line.result == 3 ? 3 : 4;
    } else if (extension == "vxm" || extension == "txm") {
        line.mapPath = absolutePathOf(argument); // binary or ASCII data map
        line.mapVerb = verb;
        line.result = line.result == 3 ? 3 : 4;
    } else if (isProfileFile(argument)) {
        line.profilePath = absolutePathOf(argument);
        line.result = 3;
    }
}

void applySwitch(CommandLine& line, const std::string& word, FileVerb& pendingVerb) {
    if (word == "open") {
        pendingVerb = FileVerb::Open;
    } else if (word == "play") {
        pendingVerb = FileVerb::Play;
    } else if (word == "send") {
        pendingVerb = FileVerb::Send;
    } else if (word == "mintray") {
        line.minimizeToTray = true;
    }
}

// Length of the UTF-8 sequence that starts with `lead`, 0 for a byte no sequence starts with.
size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// Checks one multi-byte sequence: continuation bytes, no overlong forms, no surrogates,
// nothing above U+10FFFF.
bool validSequence(std::string_view bytes, size_t at, size_t length) {
    if (at + length > bytes.size()) {
        return false;
    }
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return false;
        }
    }
    const unsigned char lead = byte(0);
    const unsigned char second = length > 1 ? byte(1) : 0;
    if (lead == 0xE0 && second < 0xA0) {
        return false;
    }
    if (lead == 0xED && second > 0x9F) {
        return false;
    }
    if (lead == 0xF0 && second < 0x90) {
        return false;
    }
    return !(lead == 0xF4 && second > 0x8F);
}

bool isAllowedAscii(unsigned char c) {
    return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c != 0x7F);
}

} // namespace

bool isProfileFileText(std::string_view bytes) {
    if (bytes.empty()) {
        return false;
    }
    for (size_t at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const size_t length = sequenceLength(lead);
        if (length == 0 || (length == 1 && !isAllowedAscii(lead)) ||
            (length > 1 && !validSequence(bytes, at, length))) {
            return false;
        }
        at += length;
    }
    return true;
}

bool isProfileFile(const std::string& path) {
    const std::optional<std::string> bytes = readSmallFile(path);
    return bytes && isProfileFileText(*bytes);
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    line.registration = registrationOf(arguments);
    if (line.registration != Registration::None) {
        return line;
    }
    line.result = 0;
    startNormally(line); // the program's own path, implied first
    FileVerb pendingVerb = FileVerb::None;
    for (const std::string& argument : arguments) {
        if (const std::optional<std::string> word = switchWord(argument)) {
            applySwitch(line, *word, pendingVerb);
            continue;
        }
        const FileVerb verb = pendingVerb == FileVerb::None ? FileVerb::Open : pendingVerb;
        if (line.result == 1) {
            pendingVerb = FileVerb::None;
            continue; // a missing file decides the outcome; nothing later is used
        }
        classifyFileArgument(line, argument, verb);
        pendingVerb = FileVerb::None;
    }
    return line;
}

InfoRequest findInfoRequest(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            return InfoRequest::Help;
        }
        if (argument == "--version") {
            return InfoRequest::Version;
        }
    }
    return InfoRequest::None;
}

} // namespace corvex
