#include "instruments/instrument_panel.h"

#include "instruments/default_instruments.h"
#include "settings/folders.h"
#include "settings/settings_profile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace corvex {
namespace {

constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kBankSelectMsb = 0;
constexpr uint8_t kBankSelectLsb = 32;
constexpr int kBankSeenFlags = 0xC000;

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool lessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The entry of `names` equal to `wanted` without regard to case, else "".
std::string findNoCase(const std::vector<std::string>& names, const std::string& wanted) {
    auto found = std::find_if(names.begin(), names.end(),
                              [&](const std::string& name) { return equalNoCase(name, wanted); });
    return found == names.end() ? std::string() : *found;
}

// What the selected channels share of `values`: -1 when none is selected or all have -1,
// kBankMixed when they differ.
int commonValue(const std::array<int, 16>& values, uint16_t selection) {
    int common = -1;
    bool first = true;
    for (int channel = 0; channel < 16; ++channel) {
        if ((selection >> channel & 1) == 0) {
            continue;
        }
        if (first) {
            common = values[channel];
            first = false;
        } else if (values[channel] != common) {
            return kBankMixed;
        }
    }
    return common;
}

} // namespace

CInstrPanel::CInstrPanel(GlobalOptions& options, SettingsStore& store)
    : options_(options), store_(store) {
    bank_.fill(-1);
    patch_.fill(-1);
}

std::string CInstrPanel::folder() const {
    return options_.instrumentFolder;
}
std::string CInstrPanel::insFile() const {
    return options_.instrumentFile;
}
std::string CInstrPanel::instrument() const {
    return options_.instrumentName;
}

std::string CInstrPanel::insPath() const {
    return options_.instrumentFolder + "/" + options_.instrumentFile;
}

// With no file chosen yet the first one is taken, so that a first start shows an instrument.
std::vector<std::string> CInstrPanel::files() {
    std::vector<std::string> names = listInstrumentFiles(options_.instrumentFolder);
    options_.instrumentFile = findNoCase(names, options_.instrumentFile);
    if (options_.instrumentFile.empty() && !names.empty()) {
        options_.instrumentFile = names.front();
    }
    return names;
}

std::vector<std::string> CInstrPanel::instruments() {
    std::vector<std::string> names;
    if (!options_.instrumentFolder.empty() && !options_.instrumentFile.empty()) {
        names = listInstruments(insPath());
    }
    std::stable_sort(names.begin(), names.end(), lessNoCase);
    options_.instrumentName = findNoCase(names, options_.instrumentName);
    if (options_.instrumentName.empty() && !names.empty()) {
        options_.instrumentName = names.front();
    }
    return names;
}

// An empty text stands for the folder "InstrDir" starts with, the data folder, so that
// clearing the edit brings back the definitions offered there on first start.
bool CInstrPanel::setFolder(const std::string& folder) {
    std::string chosen = folder;
    if (chosen.empty()) {
        chosen = ensureDataFolder();
        provideDefaultInstruments(chosen, installedInstrumentFolder());
    }
    std::error_code error;
    if (chosen.empty() || !std::filesystem::is_directory(chosen, error)) {
        return false;
    }
    options_.instrumentFolder = chosen;
    files();
    chooseFile(options_.instrumentFile);
    return true;
}

void CInstrPanel::chooseFile(const std::string& insFile) {
    options_.instrumentFile = insFile;
    instruments();
    chooseInstrument(options_.instrumentName);
}

void CInstrPanel::chooseInstrument(const std::string& instrument) {
    options_.instrumentName = instrument;
    method_ = readBankList(insPath(), instrument, banks_);
    builtFor_ = insPath() + '\n' + instrument;
    loadPatchListForCommonBank();
}

void CInstrPanel::reload() {
    files();
    instruments();
    int method = method_;
    bool same = builtFor_ == insPath() + '\n' + options_.instrumentName;
    chooseInstrument(options_.instrumentName);
    if (same) {
        method_ = method;
    }
}

void CInstrPanel::loadPatchList(const std::string& listName) {
    if (listName.empty()) {
        return;
    }
    readPatchNames(insPath(), listName, patches_);
    markSelectedPending();
}

void CInstrPanel::loadPatchListForCommonBank() {
    int bank = commonBank();
    loadPatchList(bankListName(banks_, bank < 0 ? -1 : bank));
}

void CInstrPanel::markSelectedPending() {
    for (int channel = 0; channel < 16; ++channel) {
        if (selection_ >> channel & 1) {
            namesPending_[channel] = true;
        }
    }
}

void CInstrPanel::handOverNames() {
    for (int channel = 0; channel < 16; ++channel) {
        if (namesPending_[channel] && nameSink_) {
            nameSink_(channel, patches_);
        }
        namesPending_[channel] = false;
    }
}

void CInstrPanel::setChannelSelected(int channel, bool on) {
    if (channel < 0 || channel > 15) {
        return;
    }
    uint16_t bit = static_cast<uint16_t>(1u << channel);
    selection_ = on ? selection_ | bit : selection_ & ~bit;
    namesPending_[channel] = namesPending_[channel] || on;
}

void CInstrPanel::selectAll() {
    selection_ = 0xFFFF;
    markSelectedPending();
}

void CInstrPanel::selectNone() {
    selection_ = 0;
}

void CInstrPanel::setChannelState(int channel, int bank, int patch) {
    if (channel >= 0 && channel < 16) {
        bank_[channel] = bank >= 0 && bank <= 16383 ? bank : -1;
        patch_[channel] = patch >= 0 && patch <= 127 ? patch : -1;
    }
}

int CInstrPanel::commonBank() const {
    return commonValue(bank_, selection_);
}
int CInstrPanel::commonPatch() const {
    return commonValue(patch_, selection_);
}

std::string CInstrPanel::bankLabel() const {
    int bank = commonBank();
    if (bank == kBankMixed) {
        return "Indeterminate";
    }
    std::string name = bank < 0 ? std::string() : bankListName(banks_, bank);
    return name.empty() ? "None" : name;
}

std::string CInstrPanel::patchLabel() const {
    int patch = commonPatch();
    if (patch == kBankMixed) {
        return "Indeterminate";
    }
    return patch < 0 || patches_.names[patch].empty() ? "None" : patches_.names[patch];
}

void CInstrPanel::sendTo(int channel, int bank, int patch) {
    auto send = [&](uint8_t status, int data1, int data2) {
        sender_(status, static_cast<uint8_t>(channel), static_cast<uint8_t>(data1),
                static_cast<uint8_t>(data2));
    };
    switch (method_) {
    case kMethodNone:
        break;
    case kMethodNormal:
        send(kControlChange, kBankSelectMsb, (bank >> 7) & 0x7F);
        send(kControlChange, kBankSelectLsb, bank & 0x7F);
        break;
    case kMethodController0:
        send(kControlChange, kBankSelectMsb, bank & 0x7F);
        break;
    case kMethodController32:
        send(kControlChange, kBankSelectLsb, bank & 0x7F);
        break;
    default:
        return; // a method the panel does not know sends nothing
    }
    send(kProgramChange, patch, 0);
}

void CInstrPanel::sendBankAndPatch() {
    int bank = commonBank();
    if (bank < 0 || !sender_) {
        return;
    }
    handOverNames();
    for (int channel = 0; channel < 16; ++channel) {
        if ((selection_ >> channel & 1) && patch_[channel] >= 0) {
            sendTo(channel, bank, patch_[channel]);
        }
    }
}

void CInstrPanel::sendPatch() {
    int patch = commonPatch();
    if (patch < 0 || !sender_) {
        return;
    }
    handOverNames();
    for (int channel = 0; channel < 16; ++channel) {
        if (selection_ >> channel & 1) {
            sender_(kProgramChange, static_cast<uint8_t>(channel), static_cast<uint8_t>(patch), 0);
        }
    }
}

void CInstrPanel::chooseBank(int index) {
    if (index < 0 || index >= banks_.count) {
        return;
    }
    const CBankList::Entry& entry = banks_.entries[index];
    loadPatchList(entry.listName);
    for (int channel = 0; channel < 16; ++channel) {
        if (selection_ >> channel & 1) {
            bank_[channel] = entry.bank;
        }
    }
    sendBankAndPatch();
}

void CInstrPanel::choosePatch(int patch) {
    if (patch < 0 || patch > 127) {
        return;
    }
    for (int channel = 0; channel < 16; ++channel) {
        if (selection_ >> channel & 1) {
            patch_[channel] = patch;
        }
    }
    if (commonBank() >= 0) {
        sendBankAndPatch();
    } else {
        sendPatch();
    }
}

void CInstrPanel::patchSeen(int channel, int bankWord, int program) {
    if (channel < 0 || channel > 15) {
        return;
    }
    int before = commonBank();
    patch_[channel] = program & 0x7F;
    if (bankWord >= 0 && (bankWord & kBankSeenFlags) != 0) {
        bank_[channel] = bankWord & 0x3FFF;
    }
    if ((selection_ >> channel & 1) == 0) {
        return;
    }
    if (commonBank() == bank_[channel] && commonPatch() == patch_[channel] &&
        bank_[channel] != before) {
        loadPatchListForCommonBank();
    }
}

void CInstrPanel::readFavourites() {
    favourites_.read(store_);
}

std::string CInstrPanel::favouriteLabel() const {
    bool valid = chosenFavourite_ >= 0 && chosenFavourite_ < favourites_.count();
    return valid ? favourites_.items()[chosenFavourite_].name : "None";
}

std::string CInstrPanel::favouriteSuggestion() const {
    int patch = commonPatch();
    return patch < 0 ? std::string() : patches_.names[patch];
}

bool CInstrPanel::addFavourite(const std::string& name) {
    if (favouriteSuggestion().empty()) {
        return false;
    }
    CFavorite favourite;
    favourite.name = name;
    favourite.insFile = options_.instrumentFile;
    favourite.instrument = options_.instrumentName;
    favourite.method = method_;
    favourite.bank = std::max(commonBank(), -1);
    favourite.patch = commonPatch();
    int index = favourites_.add(store_, favourite);
    if (index >= 0) {
        chosenFavourite_ = index;
    }
    return index >= 0;
}

bool CInstrPanel::removeFavourite(int index) {
    if (!favourites_.remove(store_, index)) {
        return false;
    }
    if (chosenFavourite_ == index) {
        chosenFavourite_ = -1;
    } else if (chosenFavourite_ > index) {
        --chosenFavourite_;
    }
    return true;
}

// A favourite without a known bank recalls its patch alone.
void CInstrPanel::recallFavourite(int index) {
    if (index < 0 || index >= favourites_.count()) {
        return;
    }
    chosenFavourite_ = index;
    const CFavorite favourite = favourites_.items()[index];
    std::string file =
        findNoCase(listInstrumentFiles(options_.instrumentFolder), favourite.insFile);
    if (file.empty()) {
        return;
    }
    options_.instrumentFile = file;
    std::string instrument = findNoCase(instruments(), favourite.instrument);
    if (instrument.empty()) {
        return;
    }
    options_.instrumentName = instrument;
    readBankList(insPath(), instrument, banks_);
    builtFor_ = insPath() + '\n' + instrument;
    method_ = favourite.method;
    std::string listName = bankListName(banks_, favourite.bank);
    if (listName.empty()) {
        return;
    }
    loadPatchList(listName);
    for (int channel = 0; channel < 16; ++channel) {
        if (selection_ >> channel & 1) {
            bank_[channel] = favourite.bank;
            patch_[channel] = favourite.patch;
        }
    }
    if (favourite.bank >= 0) {
        sendBankAndPatch();
    } else {
        sendPatch();
    }
}

} // namespace corvex
