#include "profile_routing.h"

#include "port_names.h"

#include "ini/profile_lines.h"
#include "ini/profile_strings.h"

#include <algorithm>
#include <optional>

namespace corvex {

namespace {

using cvx::profile::ProfileDocument;

constexpr char kMidiDevices[] = "MIDI Devices";
constexpr char kPortDataMaps[] = "PortDataMaps";
constexpr char kGeneratedPortKey[] = "CVXEvent";
constexpr int kMaxOutMapSection = 136;
constexpr char kUnconnected[] = "0000000000000000,0000000000000000";

std::string outMapSection(size_t output) {
    return "OutMap" + std::to_string(output);
}
bool isRoutingSection(std::string_view name) {
    if (equalsNoCase(name, kMidiDevices) || equalsNoCase(name, kPortDataMaps)) {
        return true;
    }
    if (!isNumberedName(name, "OutMap") || name.size() > 9) {
        return false;
    }
    return std::stoi(std::string(name.substr(6))) <= kMaxOutMapSection;
}

void setConnection(CPortMap& map, size_t index, uint32_t mask) {
    map.inputMasks[index] = mask;
    if (mask != 0) {
        map.inputBits[index / 32] |= 1u << (index % 32);
    }
}

std::vector<std::string> readNames(const ProfileDocument& document, const char* countKey,
                                   const char* prefix) {
    int count = cvx::profile::profileIntOf(document, kMidiDevices, countKey, 0);
    count = std::clamp(count, 0, static_cast<int>(kMaxSelectedPorts));
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) {
        std::optional<std::string> name = document.value(kMidiDevices, numberedName(prefix, i));
        if (!name) {
            break;
        }
        names.push_back(limitPortName(*name));
    }
    return names;
}

CPortMap readOutputMap(const ProfileDocument& document, size_t output, size_t inputCount) {
    CPortMap map{};
    std::string section = outMapSection(output);
    for (size_t input = 1; input <= inputCount; ++input) {
        std::string text =
            document.value(section, numberedName("In", input)).value_or(kUnconnected);
        setConnection(map, input - 1, routeMaskOf(text));
    }
    std::string generated = document.value(section, kGeneratedPortKey).value_or(kUnconnected);
    setConnection(map, CVX_GENERATED_PORT, routeMaskOf(generated));
    return map;
}

} // namespace

std::string routeMaskText(uint32_t mask) {
    std::string text;
    for (int channel = 0; channel < 16; ++channel) {
        text += (mask >> channel) & 1 ? '1' : '0';
    }
    text += ',';
    for (uint32_t bit : {CVX_ROUTE_SYSEX, CVX_ROUTE_REALTIME, CVX_ROUTE_SYSTEM_COMMON}) {
        text += (mask & bit) != 0 ? '1' : '0';
    }
    return text + "0000000000000";
}

uint32_t routeMaskOf(std::string_view text) {
    size_t comma = text.find(',');
    std::string_view channels = text.substr(0, std::min<size_t>(comma, 16));
    std::string_view system = comma == std::string_view::npos ? "" : text.substr(comma + 1, 3);
    uint32_t mask = 0;
    for (size_t i = 0; i < channels.size(); ++i) {
        mask |= channels[i] == '1' ? 1u << i : 0;
    }
    const uint32_t systemBits[] = {CVX_ROUTE_SYSEX, CVX_ROUTE_REALTIME, CVX_ROUTE_SYSTEM_COMMON};
    for (size_t i = 0; i < system.size(); ++i) {
        mask |= system[i] == '1' ? systemBits[i] : 0;
    }
    return mask;
}

std::string withoutRoutingSections(std::string_view text) {
    std::string kept;
    bool dropping = false;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line =
            text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
        text.remove_prefix(line.size());
        std::string_view content = line;
        while (!content.empty() && (content.back() == '\n' || content.back() == '\r')) {
            content.remove_suffix(1);
        }
        if (auto section = cvx::profile::sectionNameOf(content)) {
            dropping = isRoutingSection(*section);
        }
        if (!dropping) {
            kept += line;
        }
    }
    return kept;
}

void writeRouting(const DeviceSelection& devices, ProfileDocument& document) {
    document.set(kMidiDevices, "DevMIDIIn", std::to_string(devices.inputs.size()));
    for (size_t i = 0; i < devices.inputs.size(); ++i) {
        document.set(kMidiDevices, numberedName("In", i + 1), devices.inputs[i]);
    }
    document.set(kMidiDevices, "DevMIDIOut", std::to_string(devices.outputs.size()));
    for (size_t i = 0; i < devices.outputs.size(); ++i) {
        document.set(kMidiDevices, numberedName("Out", i + 1), devices.outputs[i]);
    }
    for (size_t output = 0; output < devices.outputs.size(); ++output) {
        CPortMap map = output < devices.outputMaps.size()
                           ? devices.outputMaps[output]
                           : defaultOutputMap(output + 1, devices.inputs.size());
        std::string section = outMapSection(output + 1);
        for (size_t input = 0; input < devices.inputs.size() && input < CVX_GENERATED_PORT;
             ++input) {
            if (map.inputMasks[input] != 0) {
                document.set(section, numberedName("In", input + 1),
                             routeMaskText(map.inputMasks[input]));
            }
        }
        document.set(section, kGeneratedPortKey, routeMaskText(map.inputMasks[CVX_GENERATED_PORT]));
    }
    for (const PortDataMapSetting& entry : devices.portDataMaps) {
        document.set(kPortDataMaps, portDataMapName(entry.output, entry.input), entry.path);
    }
}

void readRouting(const ProfileDocument& document, DeviceSelection& devices) {
    if (!document.value(kMidiDevices, "DevMIDIOut")) {
        return;
    }
    devices.inputs = readNames(document, "DevMIDIIn", "In");
    devices.outputs = readNames(document, "DevMIDIOut", "Out");
    devices.outputMaps.clear();
    devices.portDataMaps.clear();
    for (size_t output = 1; output <= devices.outputs.size(); ++output) {
        devices.outputMaps.push_back(readOutputMap(document, output, devices.inputs.size()));
        for (size_t input = 0; input <= devices.inputs.size(); ++input) {
            int o = static_cast<int>(output);
            int i = static_cast<int>(input);
            std::string path =
                document.value(kPortDataMaps, portDataMapName(o, i)).value_or(kNoPortDataMap);
            if (isUsablePortDataMap(path)) {
                devices.portDataMaps.push_back({o, i, path});
            }
        }
    }
}

} // namespace corvex
