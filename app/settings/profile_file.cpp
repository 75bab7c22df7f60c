#include "profile_file.h"

#include "number_list.h"
#include "profile_routing.h"
#include "settings/utf8_text.h"
#include "settings_fields.h"

#include "ini/profile_file.h"
#include "ini/profile_strings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvex {

namespace {

using cvx::profile::ProfileDocument;
using cvx::profile::ReadStatus;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kStatusColumnCount[] = "StatusColCount";
constexpr char kStatusColumn[] = "Status Column";

// An unsigned decimal value ("%lu"); nothing when it does not start with a number.
std::optional<uint32_t> unsignedOf(std::string_view text) {
    std::vector<long long> parts = leadingNumbers(text, 1);
    if (parts.empty() || parts[0] < 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(std::min<long long>(parts[0], UINT32_MAX));
}

// ---- sections ---------------------------------------------------------------------------

void writeScalars(const SettingsProfile& record, ProfileDocument& document) {
    for (const fields::NumberField& field : fields::numberFields()) {
        if (field.profileSection != nullptr) {
            int32_t value = static_cast<int32_t>(field.get(record));
            document.set(field.profileSection, field.name, std::to_string(value));
        }
    }
    for (const fields::TextField& field : fields::textFields()) {
        if (field.profileSection != nullptr) {
            document.set(field.profileSection, field.name, field.get(record));
        }
    }
}

void readScalars(const ProfileDocument& document, SettingsProfile& record) {
    for (const fields::NumberField& field : fields::numberFields()) {
        std::optional<std::string> text;
        if (field.profileSection != nullptr) {
            text = document.value(field.profileSection, field.name);
        }
        if (text && !text->empty()) {
            int64_t value = cvx::profile::parseProfileInt(*text);
            field.set(record, std::clamp(value, field.min, field.max));
        }
    }
    for (const fields::TextField& field : fields::textFields()) {
        if (field.profileSection == nullptr) {
            continue;
        }
        if (auto text = document.value(field.profileSection, field.name)) {
            field.ref(record) = *text;
        }
    }
}

void writeDisplayExtras(const DisplaySettings& display, ProfileDocument& document) {
    for (size_t i = 0; i < kColourCount; ++i) {
        document.set(fields::kDisplay, kColourNames[i], colourText(display.colours[i]));
    }
    document.set(fields::kDisplay, kStatusColumnCount, std::to_string(kStatusItemCount));
    document.set(fields::kDisplay, kStatusColumn, statusColumnsText(display.statusColumns));
}

void readDisplayExtras(const ProfileDocument& document, DisplaySettings& display) {
    for (size_t i = 0; i < kColourCount; ++i) {
        if (auto text = document.value(fields::kDisplay, kColourNames[i])) {
            display.colours[i] = parseColourText(*text).value_or(display.colours[i]);
        }
    }
    int count = cvx::profile::profileIntOf(document, fields::kDisplay, kStatusColumnCount, 0);
    if (auto text = document.value(fields::kDisplay, kStatusColumn)) {
        display.statusColumns = parseStatusColumns(count, *text).value_or(display.statusColumns);
    }
}

void writeFilter(const CFilter& filter, ProfileDocument& document) {
    document.set(fields::kFilter, "Filter", std::to_string(filter.filterFlags));
    document.set(fields::kFilter, "FilterDetail", std::to_string(filter.systemFilter));
    std::string controllers;
    for (uint8_t byte : filter.controllerFilter) {
        controllers += controllers.empty() ? "" : ",";
        controllers += std::to_string(byte);
    }
    document.set(fields::kFilter, "FilterControl", controllers);
}

void readFilter(const ProfileDocument& document, CFilter& filter) {
    if (auto text = document.value(fields::kFilter, "Filter")) {
        filter.filterFlags = unsignedOf(*text).value_or(filter.filterFlags);
    }
    if (auto text = document.value(fields::kFilter, "FilterDetail")) {
        filter.systemFilter = unsignedOf(*text).value_or(filter.systemFilter);
    }
    if (auto text = document.value(fields::kFilter, "FilterControl")) {
        std::vector<long long> bytes = leadingNumbers(*text, sizeof filter.controllerFilter);
        for (size_t i = 0; i < bytes.size(); ++i) {
            filter.controllerFilter[i] = static_cast<uint8_t>(bytes[i]);
        }
    }
}

std::string customName(const ProfileDocument& document, const char* section,
                       std::string_view device) {
    std::optional<std::string> name = document.value(section, device);
    return name && !name->empty() ? *name : std::string(device);
}

} // namespace

bool isProfileTextBytes(std::string_view bytes) {
    if (bytes.empty() || !isValidUtf8(bytes)) {
        return false;
    }
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x7F;
    });
}

bool isProfileText(const std::string& path) {
    cvx::profile::ProfileText file = cvx::profile::readProfileFile(path);
    return file.status == ReadStatus::Read && isProfileTextBytes(file.text);
}

std::string profileProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::strerror(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return "it is a folder";
    }
    if (!S_ISREG(info.st_mode)) {
        return "it is not a regular file";
    }
    if (const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); fd < 0) {
        return std::strerror(errno);
    } else {
        ::close(fd);
    }
    if (info.st_size > static_cast<off_t>(cvx::profile::kMaxProfileBytes)) {
        return "it is larger than " + std::to_string(cvx::profile::kMaxProfileBytes) + " bytes";
    }
    const cvx::profile::ProfileText file = cvx::profile::readProfileFile(path);
    if (file.status != ReadStatus::Read) {
        return "reading it failed";
    }
    if (file.text.empty()) {
        return "it is empty";
    }
    if (!isProfileTextBytes(file.text)) {
        return "it is not a text file (it holds bytes other than UTF-8 text, tabs and line ends)";
    }
    return {};
}

std::string profileReadMessage(const std::string& path) {
    const std::string why = profileProblem(path);
    return "Could not read the profile '" + path + "'" + (why.empty() ? "" : ": " + why) + ".";
}

ProfileDocument profileDocumentOf(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    return ProfileDocument(text);
}

void writeProfileDocument(const SettingsProfile& record, ProfileDocument& document) {
    document = ProfileDocument(withoutRoutingSections(document.text()));
    writeScalars(record, document);
    writeDisplayExtras(record.display, document);
    writeFilter(record.filter, document);
    writeRouting(record.devices, document);
}

void readProfileDocument(const ProfileDocument& document, SettingsProfile& record) {
    readScalars(document, record);
    readDisplayExtras(document, record.display);
    readFilter(document, record.filter);
    readRouting(document, record.devices);
}

bool exportProfile(const std::string& path, SettingsProfile& record,
                   const std::vector<ProfileSectionHandler>& sections) {
    cvx::profile::ProfileText file = cvx::profile::readProfileFile(path);
    if (file.status == ReadStatus::Failed) {
        return false;
    }
    ProfileDocument document = profileDocumentOf(file.text);
    writeProfileDocument(record, document);
    for (const ProfileSectionHandler& section : sections) {
        if (section.exportTo) {
            section.exportTo(document);
        }
    }
    if (!cvx::profile::replaceProfileFile(path, document.text())) {
        return false;
    }
    record.profilePath = path;
    return true;
}

ImportedProfile::ImportedProfile(ProfileDocument document) : document_(std::move(document)) {}

std::string ImportedProfile::customInputName(std::string_view device) const {
    return customName(document_, "Custom In Names", device);
}

std::string ImportedProfile::customOutputName(std::string_view device) const {
    return customName(document_, "Custom Out Names", device);
}

bool importProfile(const std::string& path, SettingsProfile& record, SettingsStore& store,
                   const ProfileImportSteps& steps) {
    cvx::profile::ProfileText file = cvx::profile::readProfileFile(path);
    if (file.status != ReadStatus::Read || !isProfileTextBytes(file.text)) {
        return false;
    }
    for (const auto& prepare : steps.prepare) {
        prepare();
    }
    ImportedProfile profile(profileDocumentOf(file.text));
    readProfileDocument(profile.document(), record);
    for (const ProfileSectionHandler& section : steps.sections) {
        if (section.importFrom) {
            section.importFrom(profile.document());
        }
    }
    store.writeString("DevicePresets", "LastNamedPreset", "");
    record.profilePath = path;
    for (const auto& reapply : steps.reapply) {
        reapply(record, profile);
    }
    return true;
}

bool storeCustomPortNames(SettingsStore& store, const ImportedProfile& profile,
                          const std::vector<std::string>& inputDevices,
                          const std::vector<std::string>& outputDevices) {
    return store.update([&](SettingsTree& tree) {
        for (const std::string& device : inputDevices) {
            tree.setString("Custom In Names", device, profile.customInputName(device));
        }
        for (const std::string& device : outputDevices) {
            tree.setString("Custom Out Names", device, profile.customOutputName(device));
        }
        return true;
    });
}

} // namespace corvex
