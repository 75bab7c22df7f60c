// corvex-dump: prints every MIDI event that arrives at one input as the monitor's text lines
// until Ctrl-C.
//   corvex-dump [--decimal] INPUT     INPUT: a full device name or a device index
//   corvex-dump --list
#include "corvex-dump/dump_session.h"
#include "support/notification_loop.h"

#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

constexpr const char* kUsage = "usage: corvex-dump [--decimal] INPUT\n"
                               "       corvex-dump --list\n"
                               "INPUT is a device's full name (see --list) or its index.\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    using namespace corvex::examples;
    corvex::NumberStyle style = corvex::NumberStyle::Hex;
    const char* inputName = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--list") == 0) {
            std::fputs(deviceListing().c_str(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--decimal") == 0) {
            style = corvex::NumberStyle::Decimal;
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (inputName == nullptr && argv[i][0] != '-') {
            inputName = argv[i];
        } else {
            return usage();
        }
    }
    if (inputName == nullptr) {
        return usage();
    }
    auto input = findInput(inputName);
    if (!input) {
        std::fprintf(stderr, "corvex-dump: no input \"%s\" (corvex-dump --list shows them)\n",
                     inputName);
        return 1;
    }
    NotificationLoop loop;
    if (!loop.ready()) {
        std::fputs("corvex-dump: cannot make the notification loop\n", stderr);
        return 1;
    }
    DumpSession session(loop.window(), std::cout, style);
    if (std::string error = session.open(*input); !error.empty()) {
        std::fprintf(stderr, "corvex-dump: %s\n", error.c_str());
        return 1;
    }
    while (loop.pump(-1, [&](const CvxMessage& message) { session.handle(message); })) {
    }
    return 0;
}
