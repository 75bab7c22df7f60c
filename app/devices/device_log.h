// The device log "_CVXBOOT.TXT" in the engine folder: what the device manager did while
// enumerating and opening ports, so that a driver that takes the process down can be found
// afterwards. Every line is written through at once and ends with CR LF. Writing is best
// effort: a log that cannot be opened is skipped silently.
//
// User-interface thread only.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>

namespace corvex {

// "_CVXBOOT.TXT" in the engine folder; "_CVXBOOT_<n>.TXT" for profile numbers above 1.
std::string deviceLogPath(int profileNumber);

// "Wed 09-Dec-2026 13:05:00": English names whatever the locale.
std::string deviceLogTime(const std::tm& local);

class DeviceLog {
public:
    DeviceLog() = default;
    DeviceLog(const DeviceLog&) = delete;
    DeviceLog& operator=(const DeviceLog&) = delete;
    ~DeviceLog() { close(); }

    // Where to log and what the header names.
    void configure(std::string path, std::string applicationTitle, std::string version);
    const std::string& path() const { return path_; }

    // Opens the log anew (truncating) or for appending, and writes the two header lines.
    void start();
    void resume();
    // Writes the closing line and closes the file; nothing when it is not open.
    void close();

    void line(const std::string& text);

private:
    void open(const char* mode);

    std::string path_;
    std::string title_ = "Corvex";
    std::string version_;
    std::FILE* file_ = nullptr;
};

} // namespace corvex
