// Event targets: the cost of one post as the engine's real-time threads pay it (a queued
// message, and a queue notification that coalesces into one already waiting), and the time
// from a post on another thread until poll() returns in the reading thread.
#include "cvx_platform.h"
#include "cvx_records.h"

#include <benchmark/benchmark.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

void postAndTake(benchmark::State& state) {
    CvxEventTarget* target = cvxEventTargetCreate(1024);
    HWND window = cvxEventTargetWindow(target);
    CvxMessage message{};
    for (auto _ : state) {
        cvxPostMessage(window, WM_CVX_SYSEXDATA, 1, 2);
        cvxEventTargetNext(target, &message);
    }
    cvxEventTargetDestroy(target);
}
BENCHMARK(postAndTake);

void coalescedPost(benchmark::State& state) {
    CvxEventTarget* target = cvxEventTargetCreate(1024);
    HWND window = cvxEventTargetWindow(target);
    cvxPostMessage(window, WM_CVX_EVENTS, 0, 0); // one waits: later posts ride on it
    for (auto _ : state) {
        cvxPostMessage(window, WM_CVX_EVENTS, 0, 0);
    }
    cvxEventTargetDestroy(target);
}
BENCHMARK(coalescedPost);

// Posts from a second thread; each iteration waits in poll() for the wake-up and takes it.
void wakeLatency(benchmark::State& state) {
    CvxEventTarget* target = cvxEventTargetCreate(1024);
    HWND window = cvxEventTargetWindow(target);
    std::atomic<int> requests{0};
    std::atomic<bool> done{false};
    std::thread poster([&] {
        int served = 0;
        while (!done.load()) {
            if (requests.load() > served) {
                ++served;
                cvxPostMessage(window, WM_CVX_EVENTS, 0, 0);
            }
        }
    });
    pollfd p{cvxEventTargetFd(target), POLLIN, 0};
    CvxMessage message{};
    for (auto _ : state) {
        requests.fetch_add(1);
        poll(&p, 1, 10000);
        while (cvxEventTargetNext(target, &message)) {
        }
    }
    done.store(true);
    poster.join();
    cvxEventTargetDestroy(target);
}
BENCHMARK(wakeLatency)->UseRealTime();

} // namespace
