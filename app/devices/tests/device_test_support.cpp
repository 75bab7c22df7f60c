#include "device_test_support.h"

#include "vmidi.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace corvex::testing {

namespace {

// Three loopback cables and nothing else, set before the MIDI service starts.
const bool kEnvironment = [] {
    setenv("CORVEX_MIDI", "virtual", 0);
    setenv("CORVEX_LOOPBACKS", "3", 0);
    return true;
}();

} // namespace

std::vector<std::string> RecordingUi::monitorLinesStartingWith(const std::string& prefix) const {
    std::vector<std::string> lines;
    std::copy_if(monitor.begin(), monitor.end(), std::back_inserter(lines),
                 [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    return lines;
}

bool RecordingUi::monitorHas(const std::string& line) const {
    return std::find(monitor.begin(), monitor.end(), line) != monitor.end();
}

RecordingTarget::RecordingTarget() : window_(cvxWindowCreate(&RecordingTarget::post, this)) {
    (void)kEnvironment;
}

RecordingTarget::~RecordingTarget() {
    cvxWindowDestroy(window_);
}

void RecordingTarget::post(void* self, uint32_t, uintptr_t, intptr_t) {
    static_cast<RecordingTarget*>(self)->posts_.fetch_add(1);
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::vector<unsigned char> takeSent(unsigned outputDevice) {
    std::vector<unsigned char> bytes;
    unsigned char buffer[4096];
    unsigned got = 0;
    while ((got = vmidiTake(outputDevice, buffer, sizeof buffer)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

bool routes(unsigned inputDevice, unsigned outputDevice) {
    vmidiSettle();
    takeSent(outputDevice);
    const unsigned char note[] = {0x90, 0x3C, 0x40};
    vmidiFeed(inputDevice, note, sizeof note);
    const std::vector<unsigned char> expected(note, note + sizeof note);
    std::vector<unsigned char> sent;
    return eventually(
        [&] {
            vmidiSettle();
            const std::vector<unsigned char> more = takeSent(outputDevice);
            sent.insert(sent.end(), more.begin(), more.end());
            return std::search(sent.begin(), sent.end(), expected.begin(), expected.end()) !=
                   sent.end();
        },
        std::chrono::milliseconds(1500));
}

CPortMap storedMap(const std::vector<int>& inputPositions, bool generatedEvents, uint32_t mask) {
    CPortMap map{};
    for (const int position : inputPositions) {
        map.inputBits[position / 32] |= 1u << (position % 32);
        map.inputMasks[position] = mask;
    }
    if (generatedEvents) {
        map.inputBits[135 / 32] |= 1u << (135 % 32);
        map.inputMasks[135] = mask;
    }
    return map;
}

std::vector<std::string> readCrLfLines(const std::string& path, bool& allCrLf) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    allCrLf = true;
    while (std::getline(file, line)) {
        if (line.empty() || line.back() != '\r') {
            allCrLf = false;
        } else {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace corvex::testing
