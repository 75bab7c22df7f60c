#include "support/dummy_jack_server.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

namespace cvx::platform {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr auto kStopTimeout = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(50);

void discardJackMessage(const char*) {}

bool serverAnswers() {
    jack_set_error_function(discardJackMessage);
    jack_set_info_function(discardJackMessage);
    jack_status_t status{};
    jack_client_t* probe = jack_client_open("cvxprobe", JackNoStartServer, &status);
    if (probe == nullptr) {
        return false;
    }
    jack_client_close(probe);
    return true;
}

// True once the process has ended (and was reaped here or before).
bool exited(pid_t pid) {
    const pid_t reaped = waitpid(pid, nullptr, WNOHANG);
    return reaped == pid || reaped < 0;
}

std::string serverName(const DummyServerOptions& options) {
    static int serial = 0;
    std::string name = options.namePrefix + std::to_string(getpid());
    if (options.numbered) {
        name += "_" + std::to_string(++serial);
    }
    return name;
}

std::vector<std::string> serverArguments(const std::string& name,
                                         const DummyServerOptions& options) {
    // The dummy driver sleeps for `wait` microseconds per cycle; it is set to one period so
    // cycles follow each other at the rate real hardware would set.
    const unsigned waitUs =
        static_cast<unsigned>(uint64_t{options.period} * 1000000 / options.rate);
    return {"jackd",
            options.realtime ? "--realtime" : "--no-realtime",
            "--sync",
            "--timeout",
            std::to_string(options.clientTimeoutMs),
            "-n",
            name,
            "-d",
            "dummy",
            "-r",
            std::to_string(options.rate),
            "-p",
            std::to_string(options.period),
            "-w",
            std::to_string(waitUs)};
}

// Runs in the forked child: only calls that are safe between fork and exec in a process
// with threads, so everything it needs is prepared before the fork.
[[noreturn]] void execServer(char* const* argv, pid_t parent) {
    prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive the thread that started the server
    if (getppid() != parent) {
        _exit(127); // the parent ended before the signal was armed
    }
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execvp("jackd", argv);
    _exit(127);
}

} // namespace

bool DummyJackServer::installed() {
    const char* path = std::getenv("PATH");
    std::istringstream directories(path == nullptr ? "" : path);
    for (std::string directory; std::getline(directories, directory, ':');) {
        if (access((directory + "/jackd").c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

bool DummyJackServer::start(const DummyServerOptions& options) {
    stop();
    options_ = options;
    name_ = serverName(options);
    return launch();
}

bool DummyJackServer::launch() {
    // Set at every launch: the relaunch that clears a crashed server may follow the start of
    // another server of this process.
    setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);

    std::vector<std::string> args = serverArguments(name_, options_);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        execServer(argv.data(), parent);
    }
    if (pid_ < 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (!serverAnswers()) {
        if (exited(pid_)) {
            pid_ = -1;
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            stop();
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

void DummyJackServer::stop() {
    if (!end(SIGTERM)) {
        crashed_ = true;
    }
    if (crashed_) {
        // A killed server keeps its entry in JACK's registry of servers, which holds only
        // eight, until a server of the same name starts: one started and ended in order
        // clears it.
        crashed_ = false;
        if (launch()) {
            end(SIGTERM);
        }
    }
    removeLeftovers();
}

void DummyJackServer::kill() {
    end(SIGKILL);
    crashed_ = true;
}

bool DummyJackServer::end(int signal) {
    if (pid_ < 0) {
        return true;
    }
    ::kill(pid_, signal);
    bool inOrder = true;
    const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    while (!exited(pid_)) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            inOrder = false;
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    pid_ = -1;
    return inOrder;
}

void DummyJackServer::removeLeftovers() const {
    // Clients still connected when their server ended leave their semaphores, and a server
    // that did not end in order its segments ("jack_sem.<uid>_<server>_<client>",
    // "jack_<server>_...").
    if (name_.empty()) {
        return;
    }
    const std::string infix = "_" + name_ + "_";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", error)) {
        const std::string file = entry.path().filename().string();
        if (file.rfind("jack", 0) == 0 && file.find(infix) != std::string::npos) {
            std::filesystem::remove(entry.path(), error);
        }
    }
}

} // namespace cvx::platform
