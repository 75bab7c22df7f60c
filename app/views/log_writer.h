// The log file: everything the main monitor shows, written in one of three text forms
// (the monitor's own lines, a text form of a MIDI file track, or the bare message bytes in
// hexadecimal), collected in an 8192-byte buffer and written to the file in blocks.
//
// Threads: not synchronised. The program keeps one LogWriter on the user-interface thread,
// which the monitor feeds as it adds lines; the real-time paths never reach it.
#pragma once

#include "views/monitor_line.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace corvex {

enum class LogFormat { Normal = 0, MidiToText = 1, Raw = 2 };

// "Sun 06-Jan-2026 13:05:09": the time stamp of the opening and closing lines.
std::string logDateText(const std::tm& local);
std::string logDateTextNow();

// `path` made absolute if the folder can take a new file; otherwise the same file name in
// `fallbackFolder`.
std::string usableLogPath(const std::string& path, const std::string& fallbackFolder);

class LogWriter {
public:
    static constexpr size_t bufferBytes = 8192;

    LogWriter() = default;
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;
    // Closes an open log (with its closing lines).
    ~LogWriter();

    // Opens `path` and writes the opening lines. `append` keeps an existing file (the
    // Normal and Raw forms; MIDI to Text always replaces it). Returns an empty string or
    // the message "Open Log Failed: <path>". Does nothing while a log is open.
    std::string open(const std::string& path, LogFormat format, bool append,
                     std::string_view caption, std::string_view version, std::string_view date);
    // Writes the closing lines, then the buffer, and closes the file.
    void close(std::string_view date);
    // Writes the buffer to the file (the log stays open).
    void flush();

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    LogFormat format() const { return format_; }
    // Whether a write to the file failed since the log was opened.
    bool writeFailed() const { return writeFailed_; }

    // One monitor record with its Normal-form line (the monitor's own text).
    void write(const MonitorLine& record, std::string_view normalLine);

private:
    void writeMidiToText(const MonitorLine& record);
    void writeMidiToTextEvent(const EVENT& event);
    void writeMidiToTextSysEx(const SysExBytesLine& piece);
    void writeRaw(const MonitorLine& record);
    void rawToken(std::string_view token);
    void line(std::string_view text);
    void append(std::string_view text);
    void endOpenSysExLine(bool continues);
    unsigned tickOf(uint64_t time);

    int fd_ = -1;
    std::string path_;
    LogFormat format_ = LogFormat::Normal;
    std::string caption_;
    std::string buffer_;
    bool writeFailed_ = false;
    // Raw: characters on the current output line.
    size_t rawLineLength_ = 0;
    // MIDI to Text: the previous event's stamp, the milliseconds since the first event, the
    // last tick written, and whether a SysEx line was written whose message has not ended
    // (its line terminator is still due).
    std::optional<uint32_t> lastTime_;
    uint64_t elapsedMs_ = 0;
    unsigned lastTick_ = 0;
    bool insideSysEx_ = false;
};

} // namespace corvex
