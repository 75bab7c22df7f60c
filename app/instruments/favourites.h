// The favourite patches: named choices of INS file, instrument, bank select method, bank and
// patch, kept in the settings store under "Favorite Patches", one key per favourite.
//
// Threads: the user-interface thread only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvex {

class SettingsStore;

struct CFavorite {
    std::string name;
    std::string insFile;    // file name without folder
    std::string instrument; // name within the file
    int method = 1;         // bank select method 0-3
    int bank = -1;          // 0-16383, -1 when no bank was known
    int patch = 0;          // 0-127
};

inline constexpr char kFavoritesKey[] = "Favorite Patches";
inline constexpr size_t kMaxFavorites = 256;

// "BankPatch": bits 0-6 patch, bits 8-21 bank (16383 when unknown), bits 24-25 method.
uint32_t packBankPatch(const CFavorite& favourite);
void unpackBankPatch(uint32_t value, CFavorite& favourite);

class CFavList {
public:
    const std::vector<CFavorite>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    // Index of the favourite called `name` (without regard to case), -1 when none.
    int find(std::string_view name) const;

    // Reads every favourite in the store's order of keys; unreadable ones are skipped.
    void read(SettingsStore& store);
    // Replaces the favourite of that name or appends it, and stores it at once. Returns its
    // index; -1 when the name is empty or holds '\', when 256 favourites exist already, or
    // when the store refused the change (the list then stays as it was).
    int add(SettingsStore& store, const CFavorite& favourite);
    // Deletes favourite `index` from the store and the list; false when out of range or
    // when the store refused.
    bool remove(SettingsStore& store, int index);

private:
    std::vector<CFavorite> items_;
};

} // namespace corvex
