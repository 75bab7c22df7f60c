#include "device_log.h"

#include "ini/engine_folder.h"

#include <array>

namespace corvex {

namespace {

// The number written after the application title in the header and closing lines.
constexpr int kLogFormatNumber = 64;

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string now() {
    std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return deviceLogTime(local);
}

} // namespace

std::string deviceLogPath(int profileNumber) {
    cvx::core::ensureEngineFolder();
    std::string name = "_CVXBOOT";
    if (profileNumber > 1) {
        name += "_" + std::to_string(profileNumber);
    }
    return cvx::core::engineFolderPath() + name + ".TXT";
}

std::string deviceLogTime(const std::tm& local) {
    const char* weekday = kWeekdays[static_cast<size_t>(local.tm_wday) % kWeekdays.size()];
    const char* month = kMonths[static_cast<size_t>(local.tm_mon) % kMonths.size()];
    char text[64];
    std::snprintf(text, sizeof text, "%3.3s %.2d-%3.3s-%.4d %.2d:%.2d:%.2d", weekday, local.tm_mday,
                  month, local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

void DeviceLog::configure(std::string path, std::string applicationTitle, std::string version) {
    close();
    path_ = std::move(path);
    title_ = std::move(applicationTitle);
    version_ = std::move(version);
}

void DeviceLog::start() {
    open("wb");
}

void DeviceLog::resume() {
    open("ab");
}

void DeviceLog::open(const char* mode) {
    close();
    if (path_.empty()) {
        return;
    }
    file_ = std::fopen(path_.c_str(), mode);
    line(" ===> " + title_ + " (" + std::to_string(kLogFormatNumber) + ") Version: " + version_);
    line(" ===> Device Log Start: " + now() + " ===>");
}

void DeviceLog::close() {
    if (file_ == nullptr) {
        return;
    }
    line(" <=== " + title_ + " (" + std::to_string(kLogFormatNumber) +
         ") Device Log Closed: " + now() + " <===");
    std::fclose(file_);
    file_ = nullptr;
}

void DeviceLog::line(const std::string& text) {
    if (file_ == nullptr) {
        return;
    }
    std::fputs(text.c_str(), file_);
    std::fputs("\r\n", file_);
    std::fflush(file_);
}

} // namespace corvex
