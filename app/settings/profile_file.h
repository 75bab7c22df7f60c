// Profile files: the settings record exported to and imported from a text INI file that
// the user chooses, with the same profile-string rules as every other INI file of the
// program (cvx::profile). A profile holds the options, display settings, colours, filter,
// device selection with its routing, per-connection data maps and log options, never window
// placements, the instance table, custom port names, the patch map, the monitor font or the
// toolbar. Sections owned by other features (the global data map) are written and read by
// handlers those features register.
//
// Call from the user-interface thread.
#pragma once

#include "settings_profile.h"

#include "ini/profile_document.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvex {

// Whether the file can be a profile: a regular file, not empty, valid UTF-8 text without
// NUL or other control bytes except tab, CR and LF (a leading byte-order mark is allowed).
bool isProfileText(const std::string& path);
bool isProfileTextBytes(std::string_view bytes);

// A profile section that another feature writes and reads itself.
struct ProfileSectionHandler {
    std::function<void(cvx::profile::ProfileDocument&)> exportTo;
    std::function<void(const cvx::profile::ProfileDocument&)> importFrom;
};

// Writes the record's profile values into `document`, replacing the routing sections
// ("MIDI Devices", "OutMap<n>", "PortDataMaps") whole and keeping everything else.
void writeProfileDocument(const SettingsProfile& record, cvx::profile::ProfileDocument& document);

// Reads the profile's values over the record: a missing key keeps the current value. The
// device lists, routing and per-connection data maps are replaced only when the profile
// lists outputs ("DevMIDIOut").
void readProfileDocument(const cvx::profile::ProfileDocument& document, SettingsProfile& record);

// The profile's document without a leading byte-order mark.
cvx::profile::ProfileDocument profileDocumentOf(std::string_view text);

// Exports the record to `path` (the file is replaced whole: a reader sees the old file or
// the new one) and remembers the path as the record's profile path. False, with the file
// unchanged, when it cannot be read or written.
bool exportProfile(const std::string& path, SettingsProfile& record,
                   const std::vector<ProfileSectionHandler>& sections = {});

// A profile being imported, for the re-apply steps that need more than the record.
class ImportedProfile {
public:
    explicit ImportedProfile(cvx::profile::ProfileDocument document);

    // The custom name the profile gives a device ("Custom In Names" / "Custom Out Names"),
    // else the device name itself.
    std::string customInputName(std::string_view device) const;
    std::string customOutputName(std::string_view device) const;

    const cvx::profile::ProfileDocument& document() const { return document_; }

private:
    cvx::profile::ProfileDocument document_;
};

// What the program does around an import, registered by the features that exist: steps
// that prepare (close the log, close the ports), handlers of sections other features own,
// and steps that re-apply the record (log, devices, port maps, data maps, filter, patch
// map, re-opening ports, options, views, colours), called in the order registered.
struct ProfileImportSteps {
    std::vector<std::function<void()>> prepare;
    std::vector<ProfileSectionHandler> sections;
    std::vector<std::function<void(const SettingsProfile&, const ImportedProfile&)>> reapply;
};

// Imports the profile at `path`: nothing happens (false) when the file fails the profile
// test. Otherwise runs the preparation steps, reads the profile over the record, clears
// "LastNamedPreset" in the store's "DevicePresets", remembers the path as the record's
// profile path and runs the re-apply steps.
bool importProfile(const std::string& path, SettingsProfile& record, SettingsStore& store,
                   const ProfileImportSteps& steps);

// Stores the custom names the imported profile gives the present devices (each device
// without an entry gets its own name) under "Custom In Names" and "Custom Out Names".
bool storeCustomPortNames(SettingsStore& store, const ImportedProfile& profile,
                          const std::vector<std::string>& inputDevices,
                          const std::vector<std::string>& outputDevices);

} // namespace corvex
