// Any bytes as the key map file: every key's offset is a default or a value from -1 to 127,
// a completed file reads back to the same map without being written again, and a file the
// reader cannot take is left as it was.
#include "instruments/key_map.h"

#include "ini/profile_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corvex;
    static const std::string path = "/tmp/cvx-keymap-fuzz-" + std::to_string(getpid()) + ".ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    const KeyMap map = readKeyMap(path);
    for (const KeyNote& key : map.keys()) {
        check(key.offset >= kNoNote && key.offset <= 127);
        check(map.offsetOf(key.character) == key.offset);
    }
    const std::string completed = cvx::profile::readProfileFile(path).text;
    const KeyMap again = readKeyMap(path);
    check(cvx::profile::readProfileFile(path).text == completed);
    for (const KeyNote& key : map.keys()) {
        check(again.offsetOf(key.character) == key.offset);
    }
    std::remove(path.c_str());
    return 0;
}
