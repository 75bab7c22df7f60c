// The program's one log: opened from the "Log File" settings (falling back to the data
// folder when the named folder cannot take a file), fed with the main monitor's lines, and
// closed with its closing lines when turned off or when the program ends (a termination
// signal ends the program through its event loop, so the log is whole then too).
//
// Threads: the user-interface thread only.
#pragma once

#include "settings_profile.h"
#include "views/log_writer.h"

#include <string>

namespace corvex {

class MonitorLog {
public:
    // `settings` outlives the log; `dataFolder` takes the log when its folder cannot.
    MonitorLog(LogFileSettings& settings, std::string dataFolder, std::string version);

    // Opens the log when logging is enabled and no log is open; the message of a failure
    // (empty on success or when nothing was to be done).
    std::string open();
    void close();
    // Command 33201: closes an open log, otherwise enables logging and opens it.
    std::string toggle();
    // The "Log" dialog's OK with the options chosen there. With a log open: an unusable path
    // is refused ("Invalid File Path: <path>", nothing stored), a new path or format reopens
    // the log, logging switched off closes it; with none open, logging switched on opens
    // one. The options are stored otherwise; returns the message for the user or empty.
    std::string apply(const LogFileSettings& chosen);
    // "View Log..." on the running log: closes it and switches logging off.
    void stopForViewing();
    // Whether `path` names the open log.
    bool isRunningLog(const std::string& path) const;
    // Writes what the buffer holds (the log stays open).
    void flush() { writer_.flush(); }
    bool isOpen() const { return writer_.isOpen(); }
    const std::string& path() const { return writer_.path(); }

    void follow(const MonitorLine& record, std::string_view normalLine) {
        writer_.write(record, normalLine);
    }

private:
    LogFileSettings& settings_;
    std::string dataFolder_;
    std::string version_;
    LogWriter writer_;
};

} // namespace corvex
