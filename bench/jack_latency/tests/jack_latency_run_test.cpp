// Runs the benchmark program as a user would, on a short run: it must report every figure,
// measure the direct connection as JACK defines it, and leave no server or server files
// behind, also when it is stopped half way.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

struct Finished {
    int status = -1;
    std::string output;
};

bool jackInstalled() {
    return std::system("command -v jackd >/dev/null 2>&1") == 0;
}

pid_t spawnBenchmark(const std::vector<std::string>& args, const std::string& outputFile) {
    std::vector<std::string> all = {JACK_LATENCY_PROGRAM};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The exit status, or -1 when the program did not end within a minute (it is killed then).
int waitFor(pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// What the benchmark's server, named after the benchmark's process, left running, in
// /dev/shm or in JACK's registry of servers.
std::vector<std::string> leftovers(pid_t benchmark) {
    const std::string name = "cvxbench" + std::to_string(benchmark);
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", error)) {
        if (entry.path().filename().string().find(name + "_") != std::string::npos) {
            found.push_back(entry.path().string());
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::string cmdline = readFile(entry.path().string() + "/cmdline");
        for (char& c : cmdline) {
            c = c == '\0' ? ' ' : c;
        }
        if (cmdline.rfind("jackd", 0) == 0 && cmdline.find(" " + name + " ") != std::string::npos) {
            found.push_back(cmdline);
        }
    }
    // JACK's registry of servers holds eight; a killed server's entry would stay there and
    // keep every later server on the machine from starting once eight had piled up.
    if (readFile("/dev/shm/jack-shm-registry").find(":" + name + ":") != std::string::npos) {
        found.push_back("registry entry " + name);
    }
    return found;
}

std::vector<std::string> leftoversAfterAWhile(pid_t benchmark) {
    // The server is reaped by the benchmark; give a killed one's exit a moment.
    for (int i = 0; i < 100; ++i) {
        if (leftovers(benchmark).empty()) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return leftovers(benchmark);
}

class JackLatencyProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (!jackInstalled()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        outputFile_ = std::filesystem::temp_directory_path() /
                      ("jack_latency_test_" + std::to_string(getpid()) + ".txt");
    }
    void TearDown() override { std::filesystem::remove(outputFile_); }

    std::string outputFile_;
};

TEST_F(JackLatencyProgram, AShortRunReportsEveryFigureAndCleansUp) {
    const pid_t pid = spawnBenchmark({"--messages", "60", "--spacing", "2"}, outputFile_);
    ASSERT_GT(pid, 0);
    ASSERT_EQ(waitFor(pid), 0);
    const std::string output = readFile(outputFile_);
    for (const char* figure :
         {"JACK latency median", "JACK latency p99", "JACK latency max", "JACK added latency p99",
          "JACK service-only latency p99", "JACK capture to input callback p99"}) {
        EXPECT_NE(output.find(std::string("BENCH\t") + figure + "\t"), std::string::npos)
            << figure << " missing from:\n"
            << output;
    }
    // A direct connection delivers within the cycle it was sent in, and loses nothing; the
    // route's data map ran on every message through Corvex.
    EXPECT_NE(output.find("BENCH\tJACK latency p99\t"), std::string::npos);
    EXPECT_NE(output.find("\t0\tus\t<= direct + 1 period"), std::string::npos) << output;
    EXPECT_NE(output.find("BENCH\tJACK messages lost\t0\t0\t"), std::string::npos) << output;
    EXPECT_EQ(output.find("without the route map's change"), std::string::npos) << output;
    EXPECT_TRUE(leftoversAfterAWhile(pid).empty());
}

TEST_F(JackLatencyProgram, StoppedHalfWayItEndsItsServer) {
    const pid_t pid = spawnBenchmark({"--messages", "4000"}, outputFile_);
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    kill(pid, SIGTERM);
    EXPECT_EQ(waitFor(pid), 130);
    EXPECT_TRUE(leftoversAfterAWhile(pid).empty());
}

// The pid of the benchmark's jackd, -1 when none runs.
pid_t serverOf(pid_t benchmark) {
    const std::string name = " cvxbench" + std::to_string(benchmark) + " ";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::string cmdline = readFile(entry.path().string() + "/cmdline");
        for (char& c : cmdline) {
            c = c == '\0' ? ' ' : c;
        }
        if (cmdline.rfind("jackd", 0) == 0 && cmdline.find(name) != std::string::npos) {
            return static_cast<pid_t>(std::atoi(entry.path().filename().c_str()));
        }
    }
    return -1;
}

TEST_F(JackLatencyProgram, AServerThatStopsCyclingEndsTheRunWithAMessage) {
    const pid_t pid = spawnBenchmark({"--messages", "4000"}, outputFile_);
    ASSERT_GT(pid, 0);
    pid_t server = -1;
    for (int i = 0; i < 300 && server < 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        server = serverOf(pid);
    }
    ASSERT_GT(server, 0);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    kill(server, SIGSTOP);
    const int status = waitFor(pid);
    if (serverOf(pid) == server) { // never leave a stopped server behind
        kill(server, SIGKILL);
        kill(server, SIGCONT);
    }
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(leftoversAfterAWhile(pid).empty());
}

TEST_F(JackLatencyProgram, RejectsWhatItCannotMeasure) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--period", "3"}, {"--messages", "999999"}, {"--rate"}, {"--unknown"}}) {
        const pid_t pid = spawnBenchmark(args, outputFile_);
        ASSERT_GT(pid, 0);
        EXPECT_EQ(waitFor(pid), 2) << args.front();
    }
}

} // namespace
