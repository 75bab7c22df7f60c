#include "jack_test_server.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace cvx::platform {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr auto kStopTimeout = std::chrono::seconds(10);
constexpr auto kPollInterval = std::chrono::milliseconds(50);

std::string uniqueServerName() {
    static int serial = 0;
    std::ostringstream name;
    name << "cvxtest" << getpid() << "_" << ++serial;
    return name.str();
}

bool serverAnswers() {
    jack_status_t status{};
    jack_client_t* probe = jack_client_open("cvxprobe", JackNoStartServer, &status);
    if (probe == nullptr) {
        return false;
    }
    jack_client_close(probe);
    return true;
}

void discardJackMessage(const char*) {}

bool serverAnswersQuietly() {
    jack_set_error_function(discardJackMessage);
    return serverAnswers();
}

// True once the process has ended (and was reaped here or before).
bool exited(pid_t pid) {
    const pid_t reaped = waitpid(pid, nullptr, WNOHANG);
    return reaped == pid || reaped < 0;
}

} // namespace

bool JackTestServer::installed() {
    const char* path = std::getenv("PATH");
    std::istringstream directories(path == nullptr ? "" : path);
    for (std::string directory; std::getline(directories, directory, ':');) {
        if (access((directory + "/jackd").c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

bool JackTestServer::start() {
    name_ = uniqueServerName();
    setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {"jackd", "--no-realtime", "-n", name_, "-d", "dummy",
                                     "-r",    "48000",         "-p", "256"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const int spawned = posix_spawnp(&pid_, "jackd", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (!serverAnswersQuietly()) {
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

void JackTestServer::stop() {
    end(SIGTERM);
}

void JackTestServer::kill() {
    end(SIGKILL);
}

void JackTestServer::end(int signal) {
    if (pid_ < 0) {
        return;
    }
    ::kill(pid_, signal);
    const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    while (!exited(pid_)) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    pid_ = -1;
}

} // namespace cvx::platform
