#include "mapping/map_listing.h"

#include "mapping/hex_text.h"
#include "mapping/map_message_types.h"
#include "mapping/printf_text.h"

namespace corvex {

namespace {

std::string channelText(uint8_t channel) {
    return channel == 0xFF ? "*" : std::to_string(channel + 1);
}

std::string typeText(uint8_t type) {
    std::string_view name = mapMessageName(type);
    return name.empty() ? std::to_string(type) : std::string(name);
}

std::string valueText(uint16_t value) {
    return value == 0xFFFF ? "*" : std::to_string(value);
}

const char* onOff(bool on) {
    return on ? "On" : "Off";
}

std::string itemLine(const DataMap& map, size_t index) {
    const MapItem& item = map.items()[index];
    std::string source = printfText(
        "%2s %-7s %5s %5s %5s %5s %c|", channelText(item.sourceChannel).c_str(),
        typeText(item.sourceMessage).c_str(), valueText(item.sourceV1Min).c_str(),
        valueText(item.sourceV1Max).c_str(), valueText(item.sourceV2Min).c_str(),
        valueText(item.sourceV2Max).c_str(), (item.itemFlags & MAPITEM_CLONE) ? 'Y' : ' ');
    if (item.targetMessage == MAP_SYSEX) {
        return source + printfText("%2s %-7s %s", channelText(item.targetChannel).c_str(),
                                   typeText(item.targetMessage).c_str(),
                                   formatHexText(map.sysexOf(index)).c_str());
    }
    return source +
           printfText("%2s %-7s %5s %5s %5s %5s %c%c", channelText(item.targetChannel).c_str(),
                      typeText(item.targetMessage).c_str(), valueText(item.targetV1Min).c_str(),
                      valueText(item.targetV1Max).c_str(), valueText(item.targetV2Min).c_str(),
                      valueText(item.targetV2Max).c_str(),
                      (item.itemFlags & MAPITEM_PULL_V1) ? '>' : ' ',
                      (item.itemFlags & MAPITEM_PULL_V2) ? '<' : ' ');
}

} // namespace

std::vector<std::string> mapListing(const DataMap& map) {
    std::vector<std::string> lines;
    if (map.items().empty()) {
        return lines;
    }
    lines.emplace_back("DATA MAP");
    lines.emplace_back(
        "Ch Message V1Min V1Max V2Min V2Max C|Ch Message V1Min V1Max V2Min V2Max Ac");
    for (size_t i = 0; i < map.items().size(); ++i) {
        lines.push_back(itemLine(map, i));
    }
    lines.push_back(printfText("Wait for complete NRPN: %s, NRPN Data Incr: %s, Send Full NRPN: %s",
                               onOff(map.options & MAP_WAIT_FOR_FULL_NRPN),
                               onOff(map.options & MAP_NRPN_DATA_INCR),
                               onOff(map.options & MAP_SEND_FULL_NRPN)));
    lines.push_back(printfText("Map is: %s, PC Keyboard Mapping: %s", onOff(map.isOn != 0),
                               onOff(map.keys != 0)));
    return lines;
}

} // namespace corvex
