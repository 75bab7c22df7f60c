// What the device manager's tests share: a recording user interface, a crash guard in
// memory, an engine client on a recording message target, and routing probes on the
// loopback cables.
#pragma once

#include "cvx_platform.h"
#include "device_settings.h"
#include "device_user_interface.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace corvex::testing {

class RecordingUi : public DeviceUserInterface {
public:
    void showWarning(const std::string& text) override { warnings.push_back(text); }
    RetryAnswer askPreviousFailure() override {
        ++questions;
        if (answers.empty()) {
            return RetryAnswer::Yes;
        }
        RetryAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool openFile(const std::string& path) override {
        openedFiles.push_back(path);
        return openFileWorks;
    }
    void appendMonitorText(const std::string& line) override { monitor.push_back(line); }
    void portsChanged() override { ++portsChangedCount; }
    void sysexPassingChanged(bool on) override { sysexSwitches.push_back(on); }
    void sysexBuffersChanged(const SysExBufferConfig& config) override {
        bufferChanges.push_back(config);
    }

    // Monitor lines that start with `prefix`.
    std::vector<std::string> monitorLinesStartingWith(const std::string& prefix) const;
    bool monitorHas(const std::string& line) const;

    std::vector<std::string> warnings;
    std::deque<RetryAnswer> answers;
    int questions = 0;
    std::vector<std::string> openedFiles;
    bool openFileWorks = true;
    std::vector<std::string> monitor;
    int portsChangedCount = 0;
    std::vector<bool> sysexSwitches;
    std::vector<SysExBufferConfig> bufferChanges;
};

class MemoryGuard : public OpenGuardStore {
public:
    int lastOpenFailed() override { return value; }
    void setLastOpenFailed(int newValue) override {
        value = newValue;
        writes.push_back(newValue);
    }
    int value = 0;
    std::vector<int> writes;
};

// A message target for the engine client that counts what the engine posts.
class RecordingTarget {
public:
    RecordingTarget();
    ~RecordingTarget();
    RecordingTarget(const RecordingTarget&) = delete;
    RecordingTarget& operator=(const RecordingTarget&) = delete;
    HWND hwnd() const { return window_; }
    uint64_t posts() const { return posts_.load(); }

private:
    static void post(void* self, uint32_t msg, uintptr_t wParam, intptr_t lParam);
    HWND window_ = nullptr;
    std::atomic<uint64_t> posts_{0};
};

// Waits (generously) until `condition` holds.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = std::chrono::seconds(10));

// Bytes sent to a virtual output since the last take.
std::vector<unsigned char> takeSent(unsigned outputDevice);

// Whether a Note On fed to `inputDevice` arrives at virtual output `outputDevice`.
bool routes(unsigned inputDevice, unsigned outputDevice);

// A whole-map connection of every listed input, for a stored selection.
CPortMap storedMap(const std::vector<int>& inputPositions, bool generatedEvents,
                   uint32_t mask = 0x3FFFF);

// The lines of a file, CR LF line ends checked and removed (false when a line lacks CR).
std::vector<std::string> readCrLfLines(const std::string& path, bool& allCrLf);

} // namespace corvex::testing
