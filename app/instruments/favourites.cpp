#include "instruments/favourites.h"

#include "settings/settings_store.h"

#include <algorithm>
#include <cctype>

namespace corvex {
namespace {

constexpr char kInsFileValue[] = "INS File";
constexpr char kInsDefnValue[] = "INS Defn";
constexpr char kBankPatchValue[] = "BankPatch";
constexpr int kNoBank = 16383;

std::string keyOf(std::string_view name) {
    return std::string(kFavoritesKey) + "\\" + std::string(name);
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

uint32_t packBankPatch(const CFavorite& favourite) {
    uint32_t bank = favourite.bank < 0 ? kNoBank : static_cast<uint32_t>(favourite.bank);
    return (static_cast<uint32_t>(favourite.patch) & 0x7F) | ((bank & 0x3FFF) << 8) |
           ((static_cast<uint32_t>(favourite.method) & 3) << 24);
}

// A stored bank of 16383 means "no bank known": such a favourite recalls its patch only.
void unpackBankPatch(uint32_t value, CFavorite& favourite) {
    favourite.patch = static_cast<int>(value & 0x7F);
    int bank = static_cast<int>((value >> 8) & 0x3FFF);
    favourite.bank = bank == kNoBank ? -1 : bank;
    favourite.method = static_cast<int>((value >> 24) & 3);
}

int CFavList::find(std::string_view name) const {
    auto found = std::find_if(items_.begin(), items_.end(), [&](const CFavorite& favourite) {
        return equalNoCase(favourite.name, name);
    });
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void CFavList::read(SettingsStore& store) {
    items_.clear();
    SettingsTree tree = store.read();
    for (const std::string& name : tree.subkeys(kFavoritesKey)) {
        std::string key = keyOf(name);
        auto bankPatch = tree.dword(key, kBankPatchValue);
        if (!bankPatch || find(name) >= 0 || items_.size() == kMaxFavorites) {
            continue;
        }
        CFavorite favourite;
        favourite.name = name;
        favourite.insFile = tree.string(key, kInsFileValue).value_or("");
        favourite.instrument = tree.string(key, kInsDefnValue).value_or("");
        unpackBankPatch(*bankPatch, favourite);
        items_.push_back(std::move(favourite));
    }
}

int CFavList::add(SettingsStore& store, const CFavorite& favourite) {
    if (favourite.name.empty() || favourite.name.find('\\') != std::string::npos) {
        return -1;
    }
    int index = find(favourite.name);
    if (index < 0 && items_.size() == kMaxFavorites) {
        return -1;
    }
    // A replaced favourite keeps its key, spelled as it was first stored.
    std::string key = keyOf(index < 0 ? favourite.name : items_[index].name);
    bool stored = store.update([&](SettingsTree& tree) {
        return tree.setString(key, kInsFileValue, favourite.insFile) &&
               tree.setString(key, kInsDefnValue, favourite.instrument) &&
               tree.setDword(key, kBankPatchValue, packBankPatch(favourite));
    });
    if (!stored) {
        return -1;
    }
    if (index < 0) {
        items_.push_back(favourite);
        return count() - 1;
    }
    std::string keptName = items_[index].name;
    items_[index] = favourite;
    items_[index].name = keptName;
    return index;
}

bool CFavList::remove(SettingsStore& store, int index) {
    if (index < 0 || index >= count()) {
        return false;
    }
    std::string key = keyOf(items_[index].name);
    bool present = true; // a key another instance deleted already needs no deleting
    bool deleted = store.update([&](SettingsTree& tree) {
        present = tree.hasKey(key);
        return present && tree.removeKey(key);
    });
    if (present && !deleted) {
        return false;
    }
    items_.erase(items_.begin() + index);
    return true;
}

} // namespace corvex
