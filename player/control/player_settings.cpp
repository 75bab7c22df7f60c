#include "player_settings.h"

namespace corvex {
namespace {

constexpr char kMidiDir[] = "MidiDir";
constexpr char kOutputPort[] = "OutputPort";
constexpr char kWindowPos[] = "WindowPos";
constexpr char kOnTop[] = "OnTop";
constexpr char kInTray[] = "InTray";
constexpr char kSingleInstance[] = "SingleInstance";

bool flag(SettingsStore& store, const char* name) {
    return store.readDword(kPlayerSettingsKey, name).value_or(0) != 0;
}

} // namespace

PlayerSettings readPlayerSettings(SettingsStore& store) {
    PlayerSettings settings;
    settings.midiDir = store.readString(kPlayerSettingsKey, kMidiDir).value_or("");
    settings.outputPort = store.readString(kPlayerSettingsKey, kOutputPort).value_or("");
    auto placement = store.readBinary(kPlayerSettingsKey, kWindowPos, kPlacementBytes);
    bool lengthHolds = placement && (*placement)[0] == kPlacementBytes && (*placement)[1] == 0 &&
                       (*placement)[2] == 0 && (*placement)[3] == 0;
    if (lengthHolds) {
        settings.windowPos = decodePlacement(*placement).value_or(settings.windowPos);
    }
    settings.onTop = flag(store, kOnTop);
    settings.inTray = flag(store, kInTray);
    settings.singleInstance = flag(store, kSingleInstance);
    return settings;
}

bool writePlayerSettings(SettingsStore& store, const PlayerSettings& settings) {
    auto placement = encodePlacement(settings.windowPos);
    return store.update([&](SettingsTree& tree) {
        tree.setString(kPlayerSettingsKey, kMidiDir, settings.midiDir);
        tree.setString(kPlayerSettingsKey, kOutputPort, settings.outputPort);
        tree.setBinary(kPlayerSettingsKey, kWindowPos, placement.data(), placement.size());
        tree.setDword(kPlayerSettingsKey, kOnTop, settings.onTop);
        tree.setDword(kPlayerSettingsKey, kInTray, settings.inTray);
        tree.setDword(kPlayerSettingsKey, kSingleInstance, settings.singleInstance);
        return true;
    });
}

bool writeSingleInstance(SettingsStore& store, bool on) {
    return store.writeDword(kPlayerSettingsKey, kSingleInstance, on ? 1 : 0);
}

} // namespace corvex
