#include "views/monitor_log.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace corvex {

MonitorLog::MonitorLog(LogFileSettings& settings, std::string dataFolder, std::string version)
    : settings_(settings), dataFolder_(std::move(dataFolder)), version_(std::move(version)) {}

std::string MonitorLog::open() {
    if (writer_.isOpen() || !settings_.enabled) {
        return {};
    }
    settings_.path = usableLogPath(settings_.path, dataFolder_);
    const auto format = static_cast<LogFormat>(
        settings_.format >= 0 && settings_.format <= 2 ? settings_.format : 0);
    return writer_.open(settings_.path, format, settings_.append, "Corvex", version_,
                        logDateTextNow());
}

void MonitorLog::close() {
    writer_.close(logDateTextNow());
}

namespace {

std::string absolutePath(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// A file name in a folder that exists.
bool isUsablePath(const std::string& path) {
    const std::filesystem::path absolute(absolutePath(path));
    std::error_code error;
    return !path.empty() && absolute.has_filename() &&
           std::filesystem::is_directory(absolute.parent_path(), error) &&
           !std::filesystem::is_directory(absolute, error);
}

} // namespace

std::string MonitorLog::apply(const LogFileSettings& chosen) {
    if (!isOpen()) {
        settings_ = chosen;
        return open();
    }
    if (chosen.enabled && !isUsablePath(chosen.path)) {
        return "Invalid File Path: " + chosen.path;
    }
    const bool reopen = !isRunningLog(chosen.path) || chosen.format != settings_.format;
    settings_ = chosen;
    if (!chosen.enabled || reopen) {
        close();
    }
    return open();
}

void MonitorLog::stopForViewing() {
    close();
    settings_.enabled = false;
}

bool MonitorLog::isRunningLog(const std::string& path) const {
    return isOpen() && absolutePath(path) == absolutePath(writer_.path());
}

std::string MonitorLog::toggle() {
    if (writer_.isOpen()) {
        close();
        return {};
    }
    settings_.enabled = true;
    return open();
}

} // namespace corvex
