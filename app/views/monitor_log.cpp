#include "views/monitor_log.h"

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

std::string MonitorLog::toggle() {
    if (writer_.isOpen()) {
        close();
        return {};
    }
    settings_.enabled = true;
    return open();
}

} // namespace corvex
