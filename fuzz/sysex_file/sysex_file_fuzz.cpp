// Any file through the SysEx loader in every filter: it loads, and what a binary filter shows
// converts back to the file's bytes; a text filter shows the file verbatim.
#include "sysex/sysex_files.h"
#include "sysex/sysex_hex.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const std::string& fuzzFile() {
    static const std::string path = [] {
        std::string name = "/tmp/sysex_file_fuzz_XXXXXX";
        int fd = ::mkstemp(name.data());
        check(fd >= 0);
        ::close(fd);
        return name;
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corvex;
    const std::string& path = fuzzFile();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    check(file != nullptr && std::fwrite(data, 1, size, file) == size);
    std::fclose(file);
    std::vector<uint8_t> bytes(data, data + size);
    for (SysExLoadFilter filter :
         {SysExLoadFilter::SysEx, SysExLoadFilter::FormattedSysEx, SysExLoadFilter::Text}) {
        SysExLoad load = loadSysExFile(path, filter);
        check(load.ok);
        if (load.sourceKind == SysExKind::TextFile) {
            check(load.text == std::string(bytes.begin(), bytes.end()));
        } else if (size > 0) {
            check(paneBytes(load.text, load.textKind) == bytes);
        }
    }
    return 0;
}
