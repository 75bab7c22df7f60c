#include "device_listings.h"

#include "port_routing_bits.h"
#include "port_selection.h"

#include <cstdio>

namespace corvex {

namespace {

constexpr int kGeneratedPort = PortSelection::kGeneratedPort;

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

void listDeviceInformation(const DeviceRoster& roster, const CPortDataMap& routeMaps,
                           bool routingDetails, DeviceUserInterface& ui) {
    ui.appendMonitorText("DEVICE INFORMATION");
    for (int slot = 0; slot < roster.inputCount(); ++slot) {
        const CMidiIn& input = roster.input(slot);
        if (input.IsOpen() != 0) {
            ui.appendMonitorText(portLine("IN:  ", input.deviceIndex() + 1, input));
        }
    }
    for (int slot = 0; slot < roster.outputCount(); ++slot) {
        const CMidiOut& output = roster.output(slot);
        if (output.IsOpen() == 0) {
            continue;
        }
        ui.appendMonitorText(portLine("OUT: ", output.deviceIndex() + 1, output));
        if (!routingDetails) {
            continue;
        }
        const CPortMap& map = output.portMap();
        auto details = [&](int input) {
            ui.appendMonitorText("    Details/Chan: " + maskDetails(map.inputMasks[input]));
            if (auto path = routeMaps.find(output.deviceIndex(), input)) {
                ui.appendMonitorText("    Port Data Map: \"" + fileNameOf(*path) + "\"");
            }
        };
        for (int in = 0; in < roster.inputCount(); ++in) {
            const CMidiIn& input = roster.input(in);
            const int index = input.deviceIndex();
            if (input.IsOpen() != 0 && inputConnected(map, index) && map.inputMasks[index] != 0) {
                ui.appendMonitorText(portLine("  In:", index + 1, input));
                details(index);
            }
        }
        if (inputConnected(map, kGeneratedPort) && map.inputMasks[kGeneratedPort] != 0) {
            ui.appendMonitorText("  In: Corvex Events");
            details(kGeneratedPort);
        }
    }
}

void listRunningStatus(const DeviceRoster& roster, const EngineLink& engine,
                       DeviceUserInterface& ui) {
    for (int slot = 0; slot < roster.outputCount(); ++slot) {
        const CMidiOut& output = roster.output(slot);
        if (output.IsOpen() == 0) {
            continue;
        }
        const uint32_t status = engine.currentStatus(output.deviceIndex());
        ui.appendMonitorText(format("%s: RunStatus: %s. Status: %2.2X",
                                    output.displayName().c_str(), engine.runStatus() ? "ON" : "OFF",
                                    status & 0xFFu));
    }
}

void listDataMap(const SMapper& map, DeviceUserInterface& ui) {
    if (map.itemCount <= 0 || map.items == nullptr) {
        return;
    }
    ui.appendMonitorText("DATA MAP");
    ui.appendMonitorText(
        "Ch Message V1Min V1Max V2Min V2Max C|Ch Message V1Min V1Max V2Min V2Max Ac");
    for (int item = 0; item < map.itemCount; ++item) {
        ui.appendMonitorText(itemLine(map, map.items[item]));
    }
    ui.appendMonitorText(format(
        "Wait for complete NRPN: %s, NRPN Data Incr: %s, Send Full NRPN: %s",
        onOff(map.mapOptions & MAP_WAIT_FOR_FULL_NRPN), onOff(map.mapOptions & MAP_NRPN_DATA_INCR),
        onOff(map.mapOptions & MAP_SEND_FULL_NRPN)));
    ui.appendMonitorText(format("Map is: %s, PC Keyboard Mapping: %s", onOff(map.mapIsOn != 0),
                                onOff(map.mapKeys != 0)));
}

} // namespace corvex
