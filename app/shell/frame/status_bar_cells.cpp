#include "status_bar_cells.h"

#include "command_ids.h"

namespace corvex {
namespace {

std::string countText(int count, bool released, const char* kind) {
    if (released || count <= 0) {
        return std::string("No ") + kind + " Device";
    }
    if (count == 1) {
        return std::string("1 ") + kind + " Device";
    }
    return std::to_string(count) + " " + kind + " Devices";
}

} // namespace

const std::array<StatusCell, 5>& statusCells() {
    static const std::array<StatusCell, 5> cells{{{"REC", cmd::kStopDisplay},
                                                  {"SYX", cmd::kPassSysEx},
                                                  {"MAP", cmd::kGlobalDataMap},
                                                  {"KYB", cmd::kKeyboard},
                                                  {"LOG", cmd::kToggleLogging}}};
    return cells;
}

std::string outputCountText(int count, bool released) {
    return countText(count, released, "Output");
}

std::string inputCountText(int count, bool released) {
    return countText(count, released, "Input");
}

bool CellClickGuard::acceptClick() {
    const bool accept = !skipNext_;
    skipNext_ = false;
    return accept;
}

} // namespace corvex
