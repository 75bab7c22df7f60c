// Any bytes as an instrument definition file: every instrument's bank list stays sorted and
// within bounds, the name list within its 2048 bytes, and every list's patch names load
// without endless "BasedOn" chains.
#include "instruments/instrument_file.h"

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

void checkBanks(const corvex::CBankList& banks) {
    check(banks.count >= 0 && banks.count <= 256);
    for (int i = 0; i < banks.count; ++i) {
        check(banks.entries[i].bank >= 0 && banks.entries[i].bank <= 16383);
        check(i == 0 || banks.entries[i - 1].bank < banks.entries[i].bank);
    }
    check(banks.wildcardBank == 0 || banks.wildcardBank == -1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace corvex;
    static const std::string path = "/tmp/cvx-ins-fuzz-" + std::to_string(getpid()) + ".ins";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    size_t bytes = 1;
    for (const std::string& instrument : listInstruments(path)) {
        bytes += instrument.size() + 1;
        CBankList banks;
        readBankList(path, instrument, banks);
        checkBanks(banks);
        CPatchList patches;
        for (int i = 0; i < banks.count; ++i) {
            readPatchNames(path, banks.entries[i].listName, patches);
        }
        readPatchNames(path, bankListName(banks, -1), patches);
        for (int origin : patches.origin) {
            check(origin == 0 || origin == 1);
        }
    }
    check(bytes <= 2048);
    std::remove(path.c_str());
    return 0;
}
