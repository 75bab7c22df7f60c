#include "panel_fixture.h"

#include <cstdlib>
#include <fstream>

namespace corvex::testing {
namespace {

const char* const kSynths = R"(.Instrument Definitions
[Normal Synth]
Patch[0]=Main
Patch[129]=Variations
[Zero Synth]
BankSelMethod=1
Patch[0]=Main
Patch[129]=Variations
[ThirtyTwo Synth]
BankSelMethod=2
Patch[0]=Main
Patch[129]=Variations
[Odd Synth]
BankSelMethod=7
Patch[*]=Main
.Patch Names
[Main]
0=Grand
5=Soft Keys
[Variations]
BasedOn=Main
5=Fretless Bass
)";

} // namespace

PanelFolder::PanelFolder() {
    char pattern[] = "/tmp/cvx-panel-XXXXXX";
    if (mkdtemp(pattern) != nullptr) {
        folder_ = pattern;
        std::ofstream(folder_ / "synths.ins") << kSynths;
    }
}

PanelFolder::~PanelFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

} // namespace corvex::testing
