#include "settings_profile.h"

#include "port_names.h"
#include "settings/folders.h"
#include "settings_fields.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace corvex {

static_assert(std::endian::native == std::endian::little,
              "stored records are little-endian, copied as they are");

namespace {

using fields::Scope;

constexpr char kCustomColours[] = "CustomColors";
constexpr char kFilterValue[] = "Filter";
constexpr size_t kOldLayoutBytes = 3; // window kinds held by "MDIWinOpen"

std::string displayKey(int instance) {
    return joinKeyPath(instanceKey(instance), "Display");
}

std::string devicesKey(int instance) {
    return joinKeyPath(instanceKey(instance), fields::kMidiDevices);
}

std::string dataMapKey(int instance) {
    return joinKeyPath(instanceKey(instance), "Data Map");
}

template <typename Record>
bool readRecord(const SettingsTree& tree, std::string_view key, std::string_view name,
                Record& record) {
    std::optional<std::vector<uint8_t>> bytes = tree.binary(key, name, sizeof(Record));
    if (!bytes) {
        return false;
    }
    std::memcpy(&record, bytes->data(), sizeof(Record));
    return true;
}

template <typename Record>
void writeRecord(SettingsTree& tree, std::string_view key, std::string_view name,
                 const Record& record) {
    tree.setBinary(key, name, &record, sizeof(Record));
}

void readPlacement(const SettingsTree& tree, std::string_view key, std::string_view name,
                   WindowPlacement& placement) {
    if (auto bytes = tree.binary(key, name, kPlacementBytes)) {
        placement = *decodePlacement(*bytes);
    }
}

void writePlacement(SettingsTree& tree, std::string_view key, std::string_view name,
                    const WindowPlacement& placement) {
    auto bytes = encodePlacement(placement);
    tree.setBinary(key, name, bytes.data(), bytes.size());
}

void readRect(const SettingsTree& tree, std::string_view key, std::string_view name,
              PlacementRect& rect) {
    if (auto bytes = tree.binary(key, name, kRectBytes)) {
        rect = *decodeRect(*bytes);
    }
}

void writeRect(SettingsTree& tree, std::string_view key, std::string_view name,
               const PlacementRect& rect) {
    auto bytes = encodeRect(rect);
    tree.setBinary(key, name, bytes.data(), bytes.size());
}

// "MDIWinOpen": count n in the low byte, then n window kinds, one per byte.
uint32_t layoutFromOldValue(uint32_t old) {
    uint32_t count = std::min<uint32_t>(old & 0xFF, kOldLayoutBytes);
    uint32_t layout = count;
    for (uint32_t i = 0; i < count; ++i) {
        layout |= ((old >> (8 * (i + 1))) & 0x0F) << (4 * (i + 1));
    }
    return layout;
}

void readScalars(SettingsProfile& record, const SettingsTree& tree, int instance) {
    for (const fields::NumberField& field : fields::numberFields()) {
        if (auto value =
                tree.dword(fields::fieldKey(field.scope, field.key, instance), field.name)) {
            int64_t number = static_cast<int32_t>(*value);
            if (field.max > INT32_MAX) {
                number = *value; // unsigned fields read the full 32 bits
            }
            field.set(record, std::clamp(number, field.min, field.max));
        }
    }
    for (const fields::TextField& field : fields::textFields()) {
        if (auto value =
                tree.string(fields::fieldKey(field.scope, field.key, instance), field.name)) {
            field.ref(record) = *value;
        }
    }
}

void writeScalars(const SettingsProfile& record, SettingsTree& tree, int instance) {
    for (const fields::NumberField& field : fields::numberFields()) {
        tree.setDword(fields::fieldKey(field.scope, field.key, instance), field.name,
                      static_cast<uint32_t>(field.get(record)));
    }
    for (const fields::TextField& field : fields::textFields()) {
        tree.setString(fields::fieldKey(field.scope, field.key, instance), field.name,
                       field.get(record));
    }
}

void readDisplay(DisplaySettings& display, const SettingsTree& tree, int instance) {
    std::string key = displayKey(instance);
    readPlacement(tree, key, "Window Pos", display.windowPos);
    readRect(tree, key, "MIDIDev Dims", display.midiDevicesRect);
    for (size_t kind = 0; kind < kLayoutWindowKinds; ++kind) {
        readPlacement(tree, key, numberedName("MDIPos", kind + 1), display.mdiPos[kind]);
    }
    readRect(tree, key, "LuaWndRect", display.luaWindowRect);
    if (auto layout = tree.dword(key, "MDIWinLayout")) {
        display.windowLayout = *layout;
    } else if (auto old = tree.dword(key, "MDIWinOpen")) {
        display.windowLayout = layoutFromOldValue(*old);
    }
    for (size_t i = 0; i < kColourCount; ++i) {
        if (auto colour = tree.dword(key, kColourNames[i])) {
            display.colours[i] = *colour;
        }
    }
    if (auto bytes = tree.binary(key, "Status Column", kStatusColumnBytes)) {
        if (auto columns = decodeStatusColumns(*bytes)) {
            display.statusColumns = *columns;
        }
    }
}

void writeDisplay(const DisplaySettings& display, SettingsTree& tree, int instance) {
    std::string key = displayKey(instance);
    writePlacement(tree, key, "Window Pos", display.windowPos);
    writeRect(tree, key, "MIDIDev Dims", display.midiDevicesRect);
    for (size_t kind = 0; kind < kLayoutWindowKinds; ++kind) {
        writePlacement(tree, key, numberedName("MDIPos", kind + 1), display.mdiPos[kind]);
    }
    writeRect(tree, key, "LuaWndRect", display.luaWindowRect);
    tree.setDword(key, "MDIWinLayout", display.windowLayout);
    for (size_t i = 0; i < kColourCount; ++i) {
        tree.setDword(key, kColourNames[i], display.colours[i]);
    }
    auto columns = encodeStatusColumns(display.statusColumns);
    tree.setBinary(key, "Status Column", columns.data(), columns.size());
}

std::vector<std::string> readNameList(const SettingsTree& tree, const std::string& key,
                                      const char* prefix) {
    std::vector<std::string> names;
    while (names.size() < kMaxSelectedPorts) {
        auto name = tree.string(key, numberedName(prefix, names.size() + 1));
        if (!name) {
            break;
        }
        names.push_back(limitPortName(*name));
    }
    return names;
}

void readDevices(DeviceSelection& devices, const SettingsTree& tree, int instance) {
    std::string key = devicesKey(instance);
    devices.inputs = readNameList(tree, key, "In");
    devices.outputs = readNameList(tree, key, "Out");
    if (devices.outputs.empty()) {
        if (auto single = tree.string(key, "Out")) {
            devices.outputs.push_back(limitPortName(*single));
        }
    }
    devices.outputMaps.clear();
    for (size_t output = 1; output <= devices.outputs.size(); ++output) {
        CPortMap map = defaultOutputMap(output, devices.inputs.size());
        CPortMap stored{};
        if (readRecord(tree, key, numberedName("OutMap", output), stored)) {
            map = portMapFromStoredMasks(stored, devices.inputs.size());
        }
        devices.outputMaps.push_back(map);
    }
    devices.portDataMaps.clear();
    for (int output = 1; output <= static_cast<int>(devices.outputs.size()); ++output) {
        for (int input = 0; input <= static_cast<int>(devices.inputs.size()); ++input) {
            auto path = tree.string(key, portDataMapName(output, input));
            if (path && isUsablePortDataMap(*path)) {
                devices.portDataMaps.push_back({output, input, *path});
            }
        }
    }
}

bool isStoredSelectionValue(std::string_view name) {
    return isNumberedName(name, "In") || isNumberedName(name, "Out") ||
           isNumberedName(name, "OutMap") || equalsNoCase(name, "Out") ||
           startsWithNoCase(name, "DataMap_Out");
}

void writeDevices(const DeviceSelection& devices, SettingsTree& tree, int instance) {
    std::string key = devicesKey(instance);
    tree.createKey(key);
    for (const std::string& name : tree.valueNames(key)) {
        if (isStoredSelectionValue(name)) {
            tree.removeValue(key, name);
        }
    }
    for (size_t i = 0; i < devices.inputs.size() && i < kMaxSelectedPorts; ++i) {
        tree.setString(key, numberedName("In", i + 1), devices.inputs[i]);
    }
    for (size_t i = 0; i < devices.outputs.size() && i < kMaxSelectedPorts; ++i) {
        tree.setString(key, numberedName("Out", i + 1), devices.outputs[i]);
        CPortMap map = i < devices.outputMaps.size()
                           ? devices.outputMaps[i]
                           : defaultOutputMap(i + 1, devices.inputs.size());
        writeRecord(tree, key, numberedName("OutMap", i + 1), map);
    }
    for (const PortDataMapSetting& entry : devices.portDataMaps) {
        tree.setString(key, portDataMapName(entry.output, entry.input), entry.path);
    }
}

void readDataMap(DataMapSettings& dataMap, const SettingsTree& tree, int instance) {
    std::string key = dataMapKey(instance);
    dataMap.mapParms = tree.anyBinary(key, "Map Parms v2");
    dataMap.sysMapFile = tree.string(key, "Sys Map File");
}

void writeDataMap(const DataMapSettings& dataMap, SettingsTree& tree, int instance) {
    std::string key = dataMapKey(instance);
    if (dataMap.mapParms) {
        tree.setBinary(key, "Map Parms v2", dataMap.mapParms->data(), dataMap.mapParms->size());
    }
    if (dataMap.sysMapFile) {
        tree.setString(key, "Sys Map File", *dataMap.sysMapFile);
    }
}

} // namespace

SettingsDefaults SettingsDefaults::standard() {
    SettingsDefaults defaults;
    defaults.dataFolder = ensureDataFolder();
    return defaults;
}

CFilter defaultFilter() {
    CFilter filter{};
    filter.filterFlags = CVX_FILTER_SYSTEM_REALTIME;
    filter.systemFilter = 0x3F00;
    return filter;
}

CPortMap defaultOutputMap(size_t outputPosition, size_t inputCount) {
    CPortMap map{};
    auto connect = [&map](size_t index) {
        map.inputBits[index / 32] |= 1u << (index % 32);
        map.inputMasks[index] = kDefaultStoredRouteMask;
    };
    if (outputPosition == 1) {
        for (size_t input = 0; input < std::min<size_t>(inputCount, CVX_GENERATED_PORT); ++input) {
            connect(input);
        }
    }
    connect(CVX_GENERATED_PORT);
    return map;
}

CPortMap portMapFromStoredMasks(const CPortMap& stored, size_t inputCount) {
    CPortMap map{};
    auto keep = [&](size_t index) {
        if (stored.inputMasks[index] != 0) {
            map.inputBits[index / 32] |= 1u << (index % 32);
            map.inputMasks[index] = stored.inputMasks[index];
        }
    };
    for (size_t input = 0; input < std::min<size_t>(inputCount, CVX_GENERATED_PORT); ++input) {
        keep(input);
    }
    keep(CVX_GENERATED_PORT);
    return map;
}

std::string instanceKey(int instance) {
    return "Profile " + std::to_string(instance);
}

SettingsProfile SettingsProfile::defaults(const SettingsDefaults& defaults) {
    SettingsProfile record;
    record.display.colours = defaults.colours;
    record.options.instrumentFolder = defaults.dataFolder;
    record.options.scriptFolder =
        defaults.dataFolder.empty() ? std::string() : defaults.dataFolder + "/Script";
    return record;
}

SettingsProfile SettingsProfile::load(SettingsStore& store, int instance,
                                      const SettingsDefaults& defaults) {
    SettingsProfile record = SettingsProfile::defaults(defaults);
    record.readFrom(store.read(), instance);
    return record;
}

void SettingsProfile::readFrom(const SettingsTree& tree, int instance) {
    if (auto bytes = tree.binary("", kCustomColours, sizeof customColours)) {
        std::memcpy(customColours.data(), bytes->data(), sizeof customColours);
    }
    readScalars(*this, tree, instance);
    readRecord(tree, instanceKey(instance), kFilterValue, filter);
    readDisplay(display, tree, instance);
    readDevices(devices, tree, instance);
    readDataMap(dataMap, tree, instance);
}

bool SettingsProfile::save(SettingsStore& store, int instance) const {
    return store.update([&](SettingsTree& tree) {
        writeTo(tree, instance);
        return true;
    });
}

void SettingsProfile::writeTo(SettingsTree& tree, int instance) const {
    tree.setBinary("", kCustomColours, customColours.data(), sizeof customColours);
    writeScalars(*this, tree, instance);
    writeRecord(tree, instanceKey(instance), kFilterValue, filter);
    writeDisplay(display, tree, instance);
    writeDevices(devices, tree, instance);
    writeDataMap(dataMap, tree, instance);
}

} // namespace corvex
