#include "views/status_items.h"

#include <string>
#include <vector>

namespace corvex {

namespace {

struct Table {
    std::array<StatusItem, kStatusItems> items{};
    std::array<uint16_t, 128> ofController{};
    std::vector<std::string> titles; // owns the generated "Ctl nn" titles
};

StatusItemKind controllerKind(int controller) {
    switch (controller) {
    case 0:
    case 32:
    case 6:
    case 38:
    case 98:
    case 99:
    case 100:
    case 101:
        return StatusItemKind::PairedController;
    default:
        return controller >= 121 ? StatusItemKind::ChannelMode : StatusItemKind::Controller;
    }
}

// Items 20..134 in id order: (title or empty for "Ctl nn", first controller, last controller).
struct Run {
    std::string_view title;
    int first;
    int last;
};

constexpr Run kRuns[] = {
    {"Foot", 4, 4},
    {"", 21, 24},
    {"Thumby", 66, 66},
    {"", 3, 3},
    {"PortoTm", 5, 5},
    {"DataM", 6, 6},
    {"Balance", 8, 8},
    {"", 9, 9},
    {"", 12, 20},
    {"", 25, 31},
    {"", 0, 0},
    {"", 32, 37},
    {"DataL", 38, 38},
    {"", 39, 63},
    {"Porta", 65, 65},
    {"SoftPed", 67, 67},
    {"", 68, 68},
    {"Hold2", 69, 69},
    {"", 70, 70},
    {"", 75, 90},
    {"Tremlo", 92, 92},
    {"Phaser", 95, 95},
    {"Data+", 96, 96},
    {"Data-", 97, 97},
    {"NRPNL", 98, 98},
    {"NRPNM", 99, 99},
    {"RPNL", 100, 100},
    {"RPNM", 101, 101},
    {"", 102, 120},
    {"RstCtl", 121, 121},
    {"LocalOn", 122, 122},
    {"AllOff", 123, 123},
    {"OmniOff", 124, 124},
    {"OmniOn", 125, 125},
    {"Mono", 126, 126},
    {"Poly", 127, 127},
};

std::string controllerTitle(int controller) {
    std::string digits = std::to_string(controller);
    if (controller >= 100) {
        return "Ctl" + digits;
    }
    return "Ctl " + std::string(digits.size() < 2 ? "0" : "") + digits;
}

Table makeTable() {
    Table table;
    table.titles.reserve(kStatusItems);
    const auto set = [&](uint16_t id, std::string_view title, int controller, int width,
                         StatusItemKind kind) {
        table.items[id] = {title, controller, width, kind};
        if (controller >= 0) {
            table.ofController[static_cast<size_t>(controller)] = id;
        }
    };
    set(kItemChan, "Chan", -1, 5, StatusItemKind::None);
    set(kItemBank, "Bank", -1, 7, StatusItemKind::Extra);
    set(kItemPatch, "Patch", -1, 7, StatusItemKind::Extra);
    constexpr std::pair<std::string_view, int> kEarly[] = {
        {"Volume", 7},   {"Exprsn", 11}, {"Pan", 10},    {"", -1},
        {"Modn", 1},     {"Reverb", 91}, {"Chorus", 93}, {"Harmnc", 71},
        {"Release", 72}, {"Attack", 73}, {"Bright", 74}, {"Celeste", 94}};
    uint16_t id = 3;
    for (const auto& [title, controller] : kEarly) {
        if (controller >= 0) {
            set(id, title, controller, 7, StatusItemKind::Controller);
        }
        ++id;
    }
    set(kItemBend, "Bend", -1, 7, StatusItemKind::Extra);
    set(kItemNrpn, "NRPN", -1, 7, StatusItemKind::Extra);
    set(kItemNrpnValue, "NRPN Value", -1, 13, StatusItemKind::Extra);
    set(kItemBendRange, "Bend Range", -1, 13, StatusItemKind::Extra);
    set(18, "Pedal", 64, 7, StatusItemKind::Controller);
    set(19, "Breath", 2, 7, StatusItemKind::Controller);
    id = 20;
    for (const Run& run : kRuns) {
        for (int controller = run.first; controller <= run.last; ++controller) {
            std::string_view title = run.title;
            if (title.empty()) {
                title = table.titles.emplace_back(controllerTitle(controller));
            }
            set(id++, title, controller, 7, controllerKind(controller));
        }
    }
    set(kItemChannelAftertouch, "Chn Aft", -1, 7, StatusItemKind::Extra);
    return table;
}

const Table& table() {
    static const Table instance = makeTable();
    return instance;
}

} // namespace

const std::array<StatusItem, kStatusItems>& statusItems() {
    return table().items;
}

uint16_t statusItemOfController(unsigned controller) {
    return table().ofController[controller & 0x7F];
}

int statusItemMaximum(uint16_t item) {
    switch (item) {
    case kItemBank:
    case kItemBend:
    case kItemNrpn:
    case kItemNrpnValue:
        return 16383;
    default:
        return 127;
    }
}

} // namespace corvex
