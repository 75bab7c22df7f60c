// What the instrument panel does, without its window: the chosen INS file and instrument,
// their bank and patch lists, the bank and patch of each channel, the channel selection and
// the favourites. Every choice is sent at once as bank select and program change messages
// by the instrument's bank select method; the names of a freshly loaded patch list are
// handed to the monitors' table first. One object lives for the whole run; the window only
// shows it.
//
// Threads: the user-interface thread only.
#pragma once

#include "instruments/favourites.h"
#include "instruments/instrument_file.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvex {

class SettingsStore;
struct GlobalOptions;

enum BankSelectMethod : int {
    kMethodNone = 0,
    kMethodNormal,
    kMethodController0,
    kMethodController32
};

inline constexpr int kBankMixed = -2; // common bank or patch of channels that differ

class CInstrPanel {
public:
    // A channel message: status 0xB0 or 0xC0, channel 0-15, two data bytes.
    using Sender =
        std::function<void(uint8_t status, uint8_t channel, uint8_t data1, uint8_t data2)>;
    // The 128 names of channel 0-15's programs, for the monitors.
    using NameSink = std::function<void(int channel, const CPatchList& names)>;

    // "InstrDir", "InstrFile" and "InstrDefn" live in `options`; favourites in `store`.
    CInstrPanel(GlobalOptions& options, SettingsStore& store);

    void setSender(Sender sender) { sender_ = std::move(sender); }
    void setNameSink(NameSink sink) { nameSink_ = std::move(sink); }

    // ---- The instrument ---------------------------------------------------------------
    std::string folder() const;
    std::string insFile() const;
    std::string instrument() const;
    // The ".ins" files of the folder; forgets "InstrFile" when it is not among them.
    std::vector<std::string> files();
    // The instruments of the file, sorted without regard to case; forgets "InstrDefn" when
    // it is not among them.
    std::vector<std::string> instruments();
    // A folder that exists becomes "InstrDir" (an empty text the data folder, made when
    // missing and offered the installed definitions when it holds none); false when the
    // text names no folder.
    bool setFolder(const std::string& folder);
    // Rereads the folder, the file's instruments and the bank and patch lists, as when the
    // window opens; the method stays as it was chosen unless the instrument changed.
    void reload();
    // Chooses the file (rebuilding the instrument, bank and patch lists).
    void chooseFile(const std::string& insFile);
    // Chooses the instrument: its bank list, its bank select method and the patch list of
    // the common bank.
    void chooseInstrument(const std::string& instrument);
    int method() const { return method_; }
    void setMethod(int method) { method_ = method; }
    const CBankList& banks() const { return banks_; }
    const CPatchList& patches() const { return patches_; }

    // ---- Channels ---------------------------------------------------------------------
    uint16_t selection() const { return selection_; }
    void setChannelSelected(int channel, bool on); // channel 0-15
    void selectAll();
    void selectNone();
    int bankOf(int channel) const { return bank_[channel]; }
    int patchOf(int channel) const { return patch_[channel]; }
    // The tracked state of a channel, as the status view knows it (-1: none).
    void setChannelState(int channel, int bank, int patch);
    // The bank or patch all selected channels share; -1 when none is selected or all have
    // none, kBankMixed when they differ.
    int commonBank() const;
    int commonPatch() const;
    // The texts of the bank and patch buttons: "None", "Indeterminate" or the name.
    std::string bankLabel() const;
    std::string patchLabel() const;

    // ---- Choices that send --------------------------------------------------------------
    // Bank select (by the method) and program change on every selected channel with a
    // patch; nothing when the common bank is unknown or mixed.
    void sendBankAndPatch();
    // A program change on every selected channel when they share a patch.
    void sendPatch();
    // Bank list entry `index`: its patch list, the bank on every selected channel, sent.
    void chooseBank(int index);
    // Patch 0-127 on every selected channel, sent with the bank when the bank is known.
    void choosePatch(int patch);
    // A program change the status view saw: channel 0-15, its bank word (bit 14 or 15 set
    // when a bank select was seen, bits 0-13 the bank; negative for none) and program.
    void patchSeen(int channel, int bankWord, int program);

    // ---- Favourites ---------------------------------------------------------------------
    const CFavList& favourites() const { return favourites_; }
    void readFavourites();
    int chosenFavourite() const { return chosenFavourite_; }
    std::string favouriteLabel() const;
    // The name a new favourite starts with: the common patch's name; "" when there is none
    // (no favourite can be added then).
    std::string favouriteSuggestion() const;
    // Adds (or replaces) the favourite `name` for the current choice; false when refused.
    bool addFavourite(const std::string& name);
    bool removeFavourite(int index);
    // Chooses the favourite's file, instrument, method, bank and patch and sends them;
    // nothing changes when its file or instrument is gone.
    void recallFavourite(int index);

private:
    std::string insPath() const;
    void loadPatchList(const std::string& listName);
    void loadPatchListForCommonBank();
    void handOverNames();
    void markSelectedPending();
    void sendTo(int channel, int bank, int patch);

    GlobalOptions& options_;
    SettingsStore& store_;
    Sender sender_;
    NameSink nameSink_;
    CBankList banks_;
    CPatchList patches_;
    std::array<int, 16> bank_;
    std::array<int, 16> patch_;
    std::array<bool, 16> namesPending_{};
    uint16_t selection_ = 1;
    int method_ = kMethodNormal;
    CFavList favourites_;
    int chosenFavourite_ = -1;
    std::string builtFor_; // file and instrument of the bank list
};

} // namespace corvex
