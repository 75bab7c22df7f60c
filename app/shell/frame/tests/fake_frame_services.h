// A recording FrameServices for the frame's tests: every call is noted, answers are set by
// the test.
#pragma once

#include "frame_services.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace corvex::testing {

class FakeFrameServices : public FrameServices {
public:
    // Answers
    uint64_t client = 0x1234;
    int outputs = 2;
    int inputs = 1;
    bool open = true;
    bool passSysExAllocates = true;
    bool keyboardSwitches = true;
    bool deviceListChanged = true;
    bool fileCallsSucceed = true;
    std::set<int> provided; // commands the program runs
    GeneralOptions options;
    FolderSettings folderSettings;
    std::map<int, std::string> remembered;
    cvx::profile::PanicSettings panic;
    bool mapHasEntries = false;
    std::optional<std::vector<uint8_t>> toolBarLayout; // the stored layout, kept by saves

    // Records
    std::vector<ShortMessage> shortMessages;
    std::vector<std::vector<uint8_t>> sysex;
    std::vector<bool> passSysExCalls;
    std::vector<bool> keyboardCalls;
    int deviceChecks = 0;
    std::vector<Listing> listings;
    std::vector<std::string> loadedProfiles, savedProfiles, loadedMaps, sysexFiles;
    std::vector<std::string> snapshotFiles;
    std::vector<int> ranCommands;
    std::vector<int> closedToolWindows;
    std::vector<std::tuple<ViewKind, int, intptr_t>> viewCommands;
    std::vector<std::tuple<uint32_t, uintptr_t, intptr_t>> passedOn;
    std::vector<bool> displayed;
    std::vector<std::pair<ViewKind, bool>> hexChanges;
    std::vector<ViewKind> closedViews;

    uint64_t engineClient() const override { return client; }
    bool globalMapHasEntries() const override { return mapHasEntries; }
    std::optional<std::vector<uint8_t>> savedToolBarLayout() const override {
        return toolBarLayout;
    }
    void saveToolBarLayout(std::span<const uint8_t> layout) override {
        toolBarLayout.emplace(layout.begin(), layout.end());
    }
    void sendShortMessage(const ShortMessage& message) override {
        shortMessages.push_back(message);
    }
    bool sendSysEx(std::span<const uint8_t> bytes) override {
        sysex.emplace_back(bytes.begin(), bytes.end());
        return true;
    }
    cvx::profile::PanicSettings panicSettings() const override { return panic; }
    int openOutputCount() const override { return outputs; }
    int openInputCount() const override { return inputs; }
    bool portsOpen() const override { return open; }
    bool setPassSysEx(bool on) override {
        passSysExCalls.push_back(on);
        return on && passSysExAllocates;
    }
    bool checkDeviceChange() override {
        ++deviceChecks;
        return deviceListChanged;
    }
    void showListing(Listing listing) override { listings.push_back(listing); }
    bool setPcKeyboardActive(bool on) override {
        keyboardCalls.push_back(on);
        return !on || keyboardSwitches;
    }
    GeneralOptions generalOptions() const override { return options; }
    void setGeneralOptions(const GeneralOptions& value) override { options = value; }
    FolderSettings folders() const override { return folderSettings; }
    void setFolders(const FolderSettings& value) override { folderSettings = value; }
    std::string rememberedFolder(FileKind kind) const override {
        const auto found = remembered.find(static_cast<int>(kind));
        return found == remembered.end() ? std::string{} : found->second;
    }
    void setRememberedFolder(FileKind kind, const std::string& folder) override {
        remembered[static_cast<int>(kind)] = folder;
    }
    void setMonitoringDisplayed(bool on) override { displayed.push_back(on); }
    void setMonitorHex(ViewKind monitor, bool hex) override {
        hexChanges.emplace_back(monitor, hex);
    }
    bool loadProfile(const std::string& path) override {
        loadedProfiles.push_back(path);
        return fileCallsSucceed;
    }
    bool saveProfile(const std::string& path) override {
        savedProfiles.push_back(path);
        return fileCallsSucceed;
    }
    bool loadGlobalMap(const std::string& path) override {
        loadedMaps.push_back(path);
        return fileCallsSucceed;
    }
    bool openSysExFile(const std::string& path) override {
        sysexFiles.push_back(path);
        return fileCallsSucceed;
    }
    bool loadSnapshot(const std::string& path) override {
        snapshotFiles.push_back(path);
        return fileCallsSucceed;
    }
    std::string programFolder() const override { return {}; }
    int instanceNumber() const override { return 1; }
    void sendViewCommand(ViewKind view, int command, intptr_t argument) override {
        viewCommands.emplace_back(view, command, argument);
    }
    bool savedPlacement(ViewKind, Rect&) const override { return false; }
    void viewClosed(ViewKind view, const Rect&) override { closedViews.push_back(view); }
    intptr_t passOn(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        passedOn.emplace_back(message, wParam, lParam);
        return 7;
    }
    bool providesCommand(int id) const override { return provided.contains(id); }
    bool runCommand(int id) override {
        ranCommands.push_back(id);
        return true;
    }
    void closeToolWindow(int id) override { closedToolWindows.push_back(id); }
};

} // namespace corvex::testing
