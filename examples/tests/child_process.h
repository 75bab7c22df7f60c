// A program run by a test: started with arguments, its standard output and error read as
// they come, signalled, and waited for.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace corvex::examples::testing {

class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    ~ChildProcess(); // kills the program when it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads output until `text` appears in the standard output or `timeout` passes.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout);
    const std::string& output() const { return output_; }
    const std::string& errors() const { return errors_; }

    void signal(int number);
    // The exit status once the program ended within `timeout`; -1 when it did not end, 128 +
    // the signal's number when a signal ended it.
    int wait(std::chrono::milliseconds timeout);

private:
    void readAvailable(int timeoutMs);

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string output_;
    std::string errors_;
};

} // namespace corvex::examples::testing
