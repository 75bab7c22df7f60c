#include "shell/termination_signals.h"

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace corvex {
namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

int gReadFd = -1;
int gWriteFd = -1;

extern "C" void onTerminationSignal(int signal) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(gWriteFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

int installTerminationSignals() {
    if (gReadFd >= 0) {
        return gReadFd;
    }
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return -1;
    }
    gReadFd = fds[0];
    gWriteFd = fds[1];
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
    return gReadFd;
}

int takeTerminationSignal(int readFd) {
    int last = 0;
    unsigned char byte = 0;
    while (::read(readFd, &byte, 1) == 1) {
        last = byte;
    }
    return last;
}

void restoreDefaultTerminationSignals() {
    for (const int signal : kSignals) {
        ::signal(signal, SIG_DFL);
    }
}

} // namespace corvex
