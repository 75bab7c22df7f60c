// Built by a test with nothing but the standard library and the reader: lists the
// instruments of the file named on the command line.
#include "instruments/instrument_file.h"

#include <cstdio>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const std::string& name : corvex::listInstruments(argv[i])) {
            std::printf("%s\n", name.c_str());
        }
    }
    return 0;
}
