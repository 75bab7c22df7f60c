// corvex-thru: routes one MIDI input to one output until Ctrl-C.
//   corvex-thru INPUT OUTPUT [CHANNELS]   devices by full name or index; CHANNELS as
//                                         "1-4,10", "all" (the default) or "0x0201"
//   corvex-thru --list
#include "corvex-thru/thru_session.h"
#include "support/channel_list.h"
#include "support/notification_loop.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "usage: corvex-thru INPUT OUTPUT [CHANNELS]\n"
    "       corvex-thru --list\n"
    "INPUT and OUTPUT are full device names (see --list) or indices; CHANNELS is a list\n"
    "such as 1-4,10, or all (the default), or a 16-bit mask such as 0x0201. SysEx,\n"
    "realtime and system common messages always pass.\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    using namespace corvex::examples;
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        std::fputs(deviceListing().c_str(), stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc < 3 || argc > 4) {
        return usage();
    }
    auto channels = parseChannelList(argc == 4 ? argv[3] : "all");
    if (!channels) {
        std::fprintf(stderr, "corvex-thru: \"%s\" is not a channel list\n", argv[3]);
        return usage();
    }
    auto input = findInput(argv[1]);
    auto output = findOutput(argv[2]);
    if (!input || !output) {
        std::fprintf(stderr, "corvex-thru: no %s \"%s\" (corvex-thru --list shows them)\n",
                     input ? "output" : "input", input ? argv[2] : argv[1]);
        return 1;
    }
    NotificationLoop loop;
    if (!loop.ready()) {
        std::fputs("corvex-thru: cannot make the notification loop\n", stderr);
        return 1;
    }
    ThruSession session(loop.window());
    if (std::string error = session.open(*input, *output, *channels); !error.empty()) {
        std::fprintf(stderr, "corvex-thru: %s\n", error.c_str());
        return 1;
    }
    std::printf("corvex-thru: routing \"%s\" to \"%s\", channels 0x%04X; Ctrl-C ends\n",
                input->name.c_str(), output->name.c_str(), *channels);
    std::fflush(stdout);
    while (loop.pump(-1, [&](const CvxMessage& message) { session.handle(message); })) {
    }
    std::printf("corvex-thru: %llu messages sent\n",
                static_cast<unsigned long long>(session.sent()));
    return 0;
}
