// The text listings for the main monitor: devices and routing, running status, data map.
#include "midi.h"

#include "cvxlib.h"

#include <cstdio>

namespace corvex {

namespace {

bool isConnected(const CPortMap& map, int input) {
    return (map.inputBits[input / 32] >> (input % 32) & 1u) != 0;
}

std::string format(const char* pattern, auto... values) {
    char text[1024];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

// "IN:  %2d) custom [product]", or without the bracket when the names are the same.
std::string portLine(const char* lead, int number, const CMidiPort& port) {
    if (port.displayName() != port.productName()) {
        return format("%s%2d) %s [%s]", lead, number, port.displayName().c_str(),
                      port.productName().c_str());
    }
    return format("%s%2d) %s", lead, number, port.productName().c_str());
}

std::string maskDetails(uint32_t mask) {
    std::string text;
    auto add = [&text](const std::string& item) { text += text.empty() ? item : "," + item; };
    for (int channel = 0; channel < 16; ++channel) {
        if (mask & (1u << channel)) {
            add(std::to_string(channel + 1));
        }
    }
    if (mask & CVX_ROUTE_SYSTEM_COMMON) {
        add("CM");
    }
    if (mask & CVX_ROUTE_REALTIME) {
        add("RT");
    }
    if (mask & CVX_ROUTE_SYSEX) {
        add("Sx");
    }
    return text;
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* messageName(uint8_t type) {
    static const char* const kNames[] = {
        "",     "NoteOff", "NoteOn",  "KeyAft", "Ctrl",  "ProgChg", "ChanAft", "PitchB",
        "NRPN", "SysEx",   "Discard", "SPP",    "Start", "Cont",    "Stop",    "RPN"};
    if (type == MAP_ANY) {
        return "*";
    }
    return type < sizeof kNames / sizeof kNames[0] ? kNames[type] : "?";
}

std::string channelText(uint8_t channel) {
    return channel == 0xFF ? std::string("*") : std::to_string(channel + 1);
}

std::string valueText(uint16_t value) {
    return value == 0xFFFF ? std::string("*") : std::to_string(value);
}

// The pool entry at `offset` as hex bytes.
std::string sysexText(const SMapper& map, uint16_t offset) {
    if (map.sysexPool == nullptr || offset < MAP_SYSEX_POOL_HEADER ||
        static_cast<uint32_t>(offset) + 2 > map.sysexLength) {
        return std::string();
    }
    const uint8_t* entry = map.sysexPool + offset;
    const uint32_t count = entry[0] | entry[1] << 8;
    std::string text;
    for (uint32_t at = 0; at < count && offset + 2u + at < map.sysexLength; ++at) {
        text += format(at == 0 ? "%02X" : " %02X", entry[2 + at]);
    }
    return text;
}

std::string itemLine(const SMapper& map, const MapItem& item) {
    const std::string source =
        format("%2s %-7s %5s %5s %5s %5s %c", channelText(item.sourceChannel).c_str(),
               messageName(item.sourceMessage), valueText(item.sourceV1Min).c_str(),
               valueText(item.sourceV1Max).c_str(), valueText(item.sourceV2Min).c_str(),
               valueText(item.sourceV2Max).c_str(), (item.itemFlags & MAPITEM_CLONE) ? 'Y' : ' ');
    if (item.targetMessage == MAP_SYSEX) {
        return source + format("|%2s %-7s %s", channelText(item.targetChannel).c_str(),
                               messageName(item.targetMessage),
                               sysexText(map, item.sysexOffset).c_str());
    }
    return source + format("|%2s %-7s %5s %5s %5s %5s %c%c",
                           channelText(item.targetChannel).c_str(), messageName(item.targetMessage),
                           valueText(item.targetV1Min).c_str(), valueText(item.targetV1Max).c_str(),
                           valueText(item.targetV2Min).c_str(), valueText(item.targetV2Max).c_str(),
                           (item.itemFlags & MAPITEM_PULL_V1) ? '>' : ' ',
                           (item.itemFlags & MAPITEM_PULL_V2) ? '<' : ' ');
}

const char* onOff(bool on) {
    return on ? "On" : "Off";
}

} // namespace

void CMidi::listDeviceInformation() {
    ui_.appendMonitorText("DEVICE INFORMATION");
    for (int slot = 0; slot < inputCount_; ++slot) {
        const CMidiIn& input = *inputs_[slot];
        if (input.IsOpen() != 0) {
            ui_.appendMonitorText(portLine("IN:  ", input.deviceIndex() + 1, input));
        }
    }
    for (int slot = 0; slot < outputCount_; ++slot) {
        const CMidiOut& output = *outputs_[slot];
        if (output.IsOpen() == 0) {
            continue;
        }
        ui_.appendMonitorText(portLine("OUT: ", output.deviceIndex() + 1, output));
        if (!settings_.verboseDeviceInfo) {
            continue;
        }
        const CPortMap& map = output.portMap();
        auto details = [&](int input) {
            ui_.appendMonitorText("    Details/Chan: " + maskDetails(map.inputMasks[input]));
            if (auto path = portDataMap_.find(output.deviceIndex(), input)) {
                ui_.appendMonitorText("    Port Data Map: \"" + fileNameOf(*path) + "\"");
            }
        };
        for (int in = 0; in < inputCount_; ++in) {
            const CMidiIn& input = *inputs_[in];
            const int index = input.deviceIndex();
            if (input.IsOpen() != 0 && isConnected(map, index) && map.inputMasks[index] != 0) {
                ui_.appendMonitorText(portLine("  In:", index + 1, input));
                details(index);
            }
        }
        if (isConnected(map, kGeneratedPort) && map.inputMasks[kGeneratedPort] != 0) {
            ui_.appendMonitorText("  In: Corvex Events");
            details(kGeneratedPort);
        }
    }
}

void CMidi::listRunningStatus() {
    for (int slot = 0; slot < outputCount_; ++slot) {
        const CMidiOut& output = *outputs_[slot];
        if (output.IsOpen() == 0) {
            continue;
        }
        const uint32_t status =
            GetCurrentStatus(context_.client, static_cast<uint16_t>(output.deviceIndex()));
        ui_.appendMonitorText(format("%s: RunStatus: %s. Status: %2.2X",
                                     output.displayName().c_str(), runStatus_ ? "ON" : "OFF",
                                     status & 0xFFu));
    }
}

void CMidi::listDataMap() {
    if (map_.itemCount <= 0 || map_.items == nullptr) {
        return;
    }
    ui_.appendMonitorText("DATA MAP");
    ui_.appendMonitorText(
        "Ch Message V1Min V1Max V2Min V2Max C|Ch Message V1Min V1Max V2Min V2Max Ac");
    for (int item = 0; item < map_.itemCount; ++item) {
        ui_.appendMonitorText(itemLine(map_, map_.items[item]));
    }
    ui_.appendMonitorText(format(
        "Wait for complete NRPN: %s, NRPN Data Incr: %s, Send Full NRPN: %s",
        onOff(map_.mapOptions & MAP_WAIT_FOR_FULL_NRPN),
        onOff(map_.mapOptions & MAP_NRPN_DATA_INCR), onOff(map_.mapOptions & MAP_SEND_FULL_NRPN)));
    ui_.appendMonitorText(format("Map is: %s, PC Keyboard Mapping: %s", onOff(map_.mapIsOn != 0),
                                 onOff(map_.mapKeys != 0)));
}

} // namespace corvex
