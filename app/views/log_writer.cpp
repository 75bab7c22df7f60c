#include "views/log_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace corvex {

namespace {

template <typename... Args> std::string printed(const char* pattern, Args... args) {
    std::array<char, 256> text{};
    const int size = std::snprintf(text.data(), text.size(), pattern, args...);
    return std::string(text.data(), static_cast<size_t>(std::clamp(size, 0, 255)));
}

bool folderTakesFiles(const std::filesystem::path& folder) {
    std::string probe = (folder / "CVXXXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

} // namespace

std::string logDateText(const std::tm& local) {
    static constexpr const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return printed("%3.3s %02.2d-%3.3s-%04.4d %02.2d:%02.2d:%02.2d", days[local.tm_wday % 7],
                   local.tm_mday, months[local.tm_mon % 12], local.tm_year + 1900, local.tm_hour,
                   local.tm_min, local.tm_sec);
}

std::string logDateTextNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return logDateText(local);
}

std::string usableLogPath(const std::string& path, const std::string& fallbackFolder) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (!error && folderTakesFiles(absolute.parent_path())) {
        return absolute.string();
    }
    return (std::filesystem::path(fallbackFolder) / std::filesystem::path(path).filename())
        .string();
}

LogWriter::~LogWriter() {
    if (isOpen()) {
        close(logDateTextNow());
    }
}

std::string LogWriter::open(const std::string& path, LogFormat format, bool append,
                            std::string_view caption, std::string_view version,
                            std::string_view date) {
    if (isOpen()) {
        return {};
    }
    const bool keep = append && format != LogFormat::MidiToText;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (keep ? O_APPEND : O_TRUNC), 0644);
    if (fd_ < 0) {
        return "Open Log Failed: " + path;
    }
    path_ = path;
    format_ = format;
    caption_ = caption;
    buffer_.clear();
    buffer_.reserve(bufferBytes);
    writeFailed_ = false;
    rawLineLength_ = 0;
    lastTime_.reset();
    elapsedMs_ = 0;
    lastTick_ = 0;
    insideSysEx_ = false;
    const std::string name(caption), ver(version), when(date);
    switch (format) {
    case LogFormat::Normal:
        line(" ===> " + name + " Version: " + ver);
        line(" ===> Log Opened: " + when + " ===>");
        line(EventText::header);
        break;
    case LogFormat::MidiToText:
        line("# " + name + " Version: " + ver);
        line("# MIDI To Text Format - Opened: " + when);
        line("# The first MIDI event received will initiate timestamps");
        line("MFile 0 1 120");
        line("MTrk");
        line("0 TimeSig 4/4 24 8");
        line("0 Tempo 500000");
        break;
    case LogFormat::Raw:
        line("===> " + name + " Version: " + ver);
        line("===> Raw Log Opened: " + when + " ===>");
        line("");
        break;
    }
    return {};
}

void LogWriter::close(std::string_view date) {
    if (!isOpen()) {
        return;
    }
    const std::string when(date);
    switch (format_) {
    case LogFormat::Normal:
        line(" <=== " + caption_ + " Log Closed: " + when + " <===");
        break;
    case LogFormat::MidiToText:
        endOpenSysExLine(false);
        line("TrkEnd");
        line("# " + caption_ + ": MIDI To Text Format - Closed: " + when);
        break;
    case LogFormat::Raw:
        if (rawLineLength_ > 0) {
            append("\r\n");
        }
        line("");
        line("<=== " + caption_ + " Log Closed: " + when + " <===");
        break;
    }
    flush();
    ::close(fd_);
    fd_ = -1;
    buffer_.clear();
    buffer_.shrink_to_fit();
}

void LogWriter::flush() {
    size_t done = 0;
    while (fd_ >= 0 && done < buffer_.size()) {
        const ssize_t written = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (written <= 0) {
            writeFailed_ = true;
            break;
        }
        done += static_cast<size_t>(written);
    }
    buffer_.clear();
}

void LogWriter::append(std::string_view text) {
    if (buffer_.size() + text.size() + 2 > bufferBytes - 1) {
        flush();
    }
    buffer_.append(text);
}

void LogWriter::line(std::string_view text) {
    append(text);
    buffer_.append("\r\n");
}

void LogWriter::write(const MonitorLine& record, std::string_view normalLine) {
    if (!isOpen()) {
        return;
    }
    switch (format_) {
    case LogFormat::Normal:
        line(normalLine);
        break;
    case LogFormat::MidiToText:
        writeMidiToText(record);
        break;
    case LogFormat::Raw:
        writeRaw(record);
        break;
    }
}

unsigned LogWriter::tickOf(uint64_t stamp) {
    // Stamps are milliseconds in 32 bits: the step from the previous stamp is taken modulo
    // 2^32, so a wrap counts forward; a step of half the range or more is an out-of-order
    // stamp, which keeps the last tick instead of underflowing.
    const auto time = static_cast<uint32_t>(stamp);
    if (!lastTime_) {
        lastTime_ = time;
    }
    const uint32_t step = time - *lastTime_;
    if (step < 0x80000000u) {
        elapsedMs_ += step;
        lastTime_ = time;
    }
    const uint64_t tick = (elapsedMs_ * 12 + 25) / 50;
    lastTick_ = std::max<uint64_t>(lastTick_, std::min<uint64_t>(tick, 0xFFFFFFFEu));
    return lastTick_;
}

void LogWriter::endOpenSysExLine(bool continues) {
    if (insideSysEx_) {
        buffer_.append(continues ? "\\\r\n" : "\r\n");
        insideSysEx_ = continues;
    }
}

void LogWriter::writeMidiToText(const MonitorLine& record) {
    if (const auto* event = std::get_if<EVENT>(&record)) {
        writeMidiToTextEvent(*event);
    } else if (const auto* piece = std::get_if<SysExBytesLine>(&record)) {
        writeMidiToTextSysEx(*piece);
    }
}

void LogWriter::writeMidiToTextEvent(const EVENT& event) {
    const unsigned status = event.message & 0xFF;
    if (status < 0x80 || status >= 0xF0) {
        return;
    }
    const int ch = static_cast<int>(status & 0x0F) + 1;
    const int d1 = static_cast<int>((event.message >> 8) & 0x7F);
    const int d2 = static_cast<int>((event.message >> 16) & 0x7F);
    endOpenSysExLine(false); // a channel message ends a SysEx that lacked its F7
    const int tick = static_cast<int>(tickOf(event.timestamp));
    switch (status & 0xF0) {
    case 0x90:
        line(d2 == 0 ? printed("%d Off  ch=%d n=%d v=%d", tick, ch, d1, 64)
                     : printed("%d On   ch=%d n=%d v=%d", tick, ch, d1, d2));
        break;
    case 0x80:
        line(printed("%d Off  ch=%d n=%d v=%d", tick, ch, d1, d2));
        break;
    case 0xA0:
        line(printed("%d PoPr ch=%d n=%d v=%d", tick, ch, d1, d2));
        break;
    case 0xB0:
        line(printed("%d Par  ch=%d c=%d v=%d", tick, ch, d1, d2));
        break;
    case 0xC0:
        line(printed("%d PrCh ch=%d p=%d", tick, ch, d1));
        break;
    case 0xD0:
        line(printed("%d ChPr ch=%d v=%d", tick, ch, d1));
        break;
    default:
        line(printed("%d Pb   ch=%d v=%d", tick, ch, d1 + 128 * d2));
        break;
    }
}

void LogWriter::writeMidiToTextSysEx(const SysExBytesLine& piece) {
    if (piece.count == 0) {
        return;
    }
    const bool starts = !insideSysEx_ || piece.bytes[0] == 0xF0;
    endOpenSysExLine(!starts);
    std::string text;
    if (starts) {
        lastTick_ = std::min<unsigned>(lastTick_, 0xFFFFFFFEu) + 1;
        text = printed("%u SysEx", lastTick_);
    } else {
        text = "        ";
    }
    bool ends = false;
    for (size_t i = 0; i < piece.count; ++i) {
        text += printed(" %02X", piece.bytes[i]);
        ends |= piece.bytes[i] == 0xF7;
    }
    append(text);
    insideSysEx_ = true;
    if (ends) {
        endOpenSysExLine(false);
    }
}

void LogWriter::rawToken(std::string_view token) {
    if (rawLineLength_ > 0 && rawLineLength_ + token.size() > 80) {
        append("\r\n");
        rawLineLength_ = 0;
    }
    append(token);
    rawLineLength_ += token.size();
}

void LogWriter::writeRaw(const MonitorLine& record) {
    if (const auto* piece = std::get_if<SysExBytesLine>(&record)) {
        for (size_t i = 0; i < piece->count; ++i) {
            const bool last = i + 1 == piece->count;
            rawToken(last ? printed("%02X ", piece->bytes[i]) : printed("%02X", piece->bytes[i]));
        }
        return;
    }
    const auto* event = std::get_if<EVENT>(&record);
    if (event == nullptr) {
        return;
    }
    const unsigned status = event->message & 0xFF;
    const unsigned d1 = (event->message >> 8) & 0xFF;
    const unsigned d2 = (event->message >> 16) & 0xFF;
    const unsigned kind = status < 0xF0 ? status & 0xF0 : status;
    switch (kind) {
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
    case 0xF2:
        rawToken(printed("%02X%02X%02X ", status, d1, d2));
        break;
    case 0xC0:
    case 0xD0:
    case 0xF1:
    case 0xF3:
        rawToken(printed("%02X%02X ", status, d1));
        break;
    case 0xF8:
    case 0xFE:
        rawToken(printed("%02X ", status));
        break;
    default:
        break;
    }
}

} // namespace corvex
