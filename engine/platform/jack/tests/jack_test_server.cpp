#include "jack_test_server.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
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

bool JackTestServer::start(unsigned periodFrames) {
    name_ = uniqueServerName();
    periodFrames_ = periodFrames;
    return launch();
}

bool JackTestServer::launch() {
    setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // Synchronous mode with a long client timeout: on a loaded machine a late cycle delays
    // the graph instead of dropping the events of that cycle.
    const std::string rate = std::to_string(kSampleRate);
    const std::string period = std::to_string(periodFrames_);
    std::vector<std::string> args = {
        "jackd", "--no-realtime", "--sync", "--timeout", "10000", "-n",  name_,
        "-d",    "dummy",         "-r",     rate,        "-p",    period};
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
    if (!end(SIGTERM)) {
        crashed_ = true;
    }
    if (crashed_) {
        // A crashed server stays in JACK's registry of servers, which holds only a few, until
        // a server of the same name starts; one started and ended in order clears it.
        crashed_ = false;
        if (launch()) {
            end(SIGTERM);
        }
    }
    // Clients still connected when their server ended (or crashed) leave their semaphores.
    removeClientSemaphores();
}

void JackTestServer::removeClientSemaphores() const {
    // A client of a server that is gone leaves its semaphore behind ("jack_sem.<uid>_<server>_
    // <client>" in /dev/shm).
    if (name_.empty()) {
        return;
    }
    const std::string infix = "_" + name_ + "_";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", error)) {
        const std::string file = entry.path().filename().string();
        if (file.rfind("jack_sem.", 0) == 0 && file.find(infix) != std::string::npos) {
            std::filesystem::remove(entry.path(), error);
        }
    }
}

void JackTestServer::kill() {
    end(SIGKILL);
    crashed_ = true;
}

bool JackTestServer::end(int signal) {
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

} // namespace cvx::platform
