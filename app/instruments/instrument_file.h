// Reader of instrument definition files (".ins"): the instruments a file describes, which
// patch-name list each bank of an instrument uses, how the instrument selects banks, and the
// 128 patch names of a list (with "BasedOn" inheritance and numbered generic lists).
//
// Files are only read. Every call opens the file anew and closes it again; a file or folder
// that cannot be opened gives an empty result. Names come back as UTF-8: a file that is not
// UTF-8 is read in the Windows Western code page. This file and instrument_file.cpp use the
// C++ standard library only, so other programs can build the reader on its own.
//
// Threads: any thread; calls share no state.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace corvex {

// The layout below is a published contract, kept as written.
// clang-format off
struct CBankList {                         // one instrument's banks
    struct Entry { int bank = 0; std::string listName; };
    int count = 0;                         // 0-256
    std::array<Entry, 256> entries;        // ascending bank, each bank once
    int wildcardBank = 0;                  // -1 when a wildcard list is set, else 0
    std::string wildcardListName;
};

struct CPatchList {
    std::array<std::string, 128> names;    // empty where the list names none
    std::array<int, 128> origin{};         // 0 named by the list itself, 1 through "BasedOn"
};
// clang-format on

// ".ins" file names (no folder) in `folder` itself, hidden files and directories skipped.
std::vector<std::string> listInstrumentFiles(const std::string& folder);
// Entry names of ".Instrument Definitions", in file order, as many as fit the 2048-byte list.
std::vector<std::string> listInstruments(const std::string& insPath);
// Fills `banks` for `instrument` (emptied first); returns the bank select method:
// 1 "Normal" (also without the key), 2 "Controller0", 3 "Controller32", N + 1 for other N.
int readBankList(const std::string& insPath, const std::string& instrument, CBankList& banks);
// The list name for `bank` (-1: none known); "" when neither an entry nor a wildcard gives one.
std::string bankListName(const CBankList& banks, int bank);
// Empties all 128 names, then applies the list `listName` (with "BasedOn" and generic lists).
void readPatchNames(const std::string& insPath, const std::string& listName, CPatchList& patches);

} // namespace corvex
