#include "instruments/instrument_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

namespace corvex {
namespace {

constexpr std::string_view kDefinitionsSection = ".Instrument Definitions";
constexpr std::string_view kPatchNamesSection = ".Patch Names";
// Lines are read in pieces of at most this many bytes, line end included.
constexpr size_t kLinePiece = 256;
// The instrument name list: each name ends with a NUL, the list with one more.
constexpr size_t kNameListBytes = 2048;
constexpr int kMaxBank = 16383;
// "BasedOn" chains deeper than this are cut, so that no file can exhaust the stack.
constexpr size_t kMaxBasedOnDepth = 64;

struct KeyValue {
    std::string key;
    std::string value;
};

// One "[name]" entry with its "key=value" lines in file order.
struct Entry {
    std::string name;
    std::vector<KeyValue> lines;
};

// The entries of every ".Instrument Definitions" and ".Patch Names" section, in file order.
struct InsFile {
    std::vector<Entry> instruments;
    std::vector<Entry> patchLists;
    bool hasPatchNames = false;
};

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool equalNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

bool startsWithNoCase(std::string_view text, std::string_view word) {
    return text.size() >= word.size() && equalNoCase(text.substr(0, word.size()), word);
}

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The leading decimal number of `text` (0 without digits), capped so that it cannot
// overflow: every number above `cap` reads as cap + 1.
int leadingNumber(std::string_view text, int cap) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = std::min(value * 10 + (c - '0'), cap + 1);
    }
    return value;
}

// True when `text` is well-formed UTF-8 (as far as telling it from a one-byte code goes).
bool isUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        size_t more = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
        } else if (lead >= 0x80) {
            return false;
        }
        if (more > text.size() - i - 1) {
            return false;
        }
        for (size_t k = 1; k <= more; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += more + 1;
    }
    return true;
}

// The characters of bytes 0x80-0x9F in the Windows Western code page (the others are
// Latin-1); the five bytes it leaves undefined keep their own code points.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// `text` in the Windows Western code page, as UTF-8.
std::string utf8FromWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        char32_t code = byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

enum class Section { kOther, kInstruments, kPatchNames };

// Splits the file into pieces of at most kLinePiece bytes (line end included) and gathers
// the entries of the two sections it uses. Names and values of a file that is not UTF-8
// (most files written on other systems) are taken in the Windows Western code page and
// kept as UTF-8.
class InsParser {
public:
    InsParser(InsFile& file, bool windows1252) : file_(file), windows1252_(windows1252) {}

    void piece(std::string_view text) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.remove_suffix(1);
        }
        while (!text.empty() && isBlank(text.front())) {
            text.remove_prefix(1);
        }
        if (text.empty()) {
            return;
        }
        if (text.front() == '.') {
            startSection(text);
        } else if (text.front() == '[') {
            startEntry(text);
        } else if (entry_ != nullptr && text.front() != ';') {
            keyValue(text);
        }
    }

private:
    void startSection(std::string_view text) {
        entry_ = nullptr;
        section_ = Section::kOther;
        if (text.starts_with(kDefinitionsSection)) {
            section_ = Section::kInstruments;
        } else if (text.starts_with(kPatchNamesSection)) {
            section_ = Section::kPatchNames;
            file_.hasPatchNames = true;
        }
    }

    void startEntry(std::string_view text) {
        entry_ = nullptr;
        size_t close = text.find(']');
        if (close == std::string_view::npos || section_ == Section::kOther) {
            return;
        }
        auto& entries = section_ == Section::kInstruments ? file_.instruments : file_.patchLists;
        entries.push_back(Entry{decoded(text.substr(1, close - 1)), {}});
        entry_ = &entries.back();
    }

    // Comment lines (";") are skipped even when they hold "=": their text is no patch name.
    void keyValue(std::string_view text) {
        size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            return;
        }
        entry_->lines.push_back(KeyValue{decoded(trimmed(text.substr(0, equals))),
                                         decoded(trimmed(text.substr(equals + 1)))});
    }

    std::string decoded(std::string_view raw) const {
        return windows1252_ ? utf8FromWindows1252(raw) : std::string(raw);
    }

    InsFile& file_;
    bool windows1252_;
    Section section_ = Section::kOther;
    Entry* entry_ = nullptr;
};

std::optional<InsFile> readInsFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    InsFile file;
    InsParser parser(file, !isUtf8(text));
    std::string_view rest(text);
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        size_t length = end == std::string_view::npos ? rest.size() : end + 1;
        length = std::min(length, kLinePiece);
        parser.piece(rest.substr(0, length));
        rest.remove_prefix(length);
    }
    return file;
}

const Entry* findEntry(const std::vector<Entry>& entries, std::string_view name) {
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&](const Entry& entry) { return equalNoCase(entry.name, name); });
    return found == entries.end() ? nullptr : &*found;
}

// Adds or replaces the list of `bank`, keeping the entries in ascending order of bank.
void insertBank(CBankList& banks, int bank, const std::string& listName) {
    auto begin = banks.entries.begin();
    auto end = begin + banks.count;
    auto at = std::lower_bound(begin, end, bank, [](const CBankList::Entry& entry, int value) {
        return entry.bank < value;
    });
    if (at != end && at->bank == bank) {
        at->listName = listName;
        return;
    }
    if (banks.count == static_cast<int>(banks.entries.size())) {
        return;
    }
    std::move_backward(at, end, end + 1);
    *at = CBankList::Entry{bank, listName};
    ++banks.count;
}

// "Patch[N]" or "Patch[*]" with its list name.
void applyPatchKey(CBankList& banks, std::string_view key, const std::string& value) {
    if (key.size() < 6 || key[5] != '[') {
        return;
    }
    std::string_view inside = key.substr(6);
    if (inside.starts_with("*]")) {
        banks.wildcardBank = -1;
        banks.wildcardListName = equalNoCase(value, "0..127") || equalNoCase(value, "1..128")
                                     ? "Generic Patches (" + value + ")"
                                     : value;
        return;
    }
    size_t digits = inside.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string_view::npos || inside[digits] != ']') {
        return;
    }
    int bank = leadingNumber(inside, kMaxBank);
    if (bank <= kMaxBank) {
        insertBank(banks, bank, value);
    }
}

int bankSelectMethod(std::string_view value) {
    bool negative = value.starts_with('-');
    int number = leadingNumber(negative ? value.substr(1) : value, 1000000);
    return (negative ? -number : number) + 1;
}

// Applies `list` to `patches`, following "BasedOn" lines where they stand. A list already
// being applied further up the chain is not applied again, which ends rings; the names
// applied so far stay.
void applyList(const InsFile& file, const Entry& list, int origin, CPatchList& patches,
               std::vector<const Entry*>& chain) {
    chain.push_back(&list);
    for (const KeyValue& line : list.lines) {
        if (startsWithNoCase(line.key, "BasedOn")) {
            const Entry* base = findEntry(file.patchLists, line.value);
            bool inChain = std::find(chain.begin(), chain.end(), base) != chain.end();
            if (base != nullptr && !inChain && chain.size() < kMaxBasedOnDepth) {
                applyList(file, *base, 1, patches, chain);
            }
            continue;
        }
        int patch = leadingNumber(line.key, 127);
        if (patch <= 127) {
            patches.names[patch] = line.value;
            patches.origin[patch] = origin;
        }
    }
    chain.pop_back();
}

void applyGenericList(const std::string& listName, CPatchList& patches) {
    int first = 0;
    if (listName.find("1..128") != std::string::npos) {
        first = 1;
    } else if (listName.find("0..127") == std::string::npos) {
        return;
    }
    for (int patch = 0; patch < 128; ++patch) {
        patches.names[patch] = std::to_string(patch + first);
    }
}

} // namespace

std::vector<std::string> listInstrumentFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().string();
        bool insName =
            name.size() > 4 && equalNoCase(std::string_view(name).substr(name.size() - 4), ".ins");
        std::error_code typeError;
        if (insName && name.front() != '.' && it->is_regular_file(typeError)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> listInstruments(const std::string& insPath) {
    std::vector<std::string> names;
    std::optional<InsFile> file = readInsFile(insPath);
    if (!file) {
        return names;
    }
    size_t used = 1; // the list's closing NUL
    for (const Entry& entry : file->instruments) {
        used += entry.name.size() + 1;
        if (used > kNameListBytes) {
            break;
        }
        names.push_back(entry.name);
    }
    return names;
}

int readBankList(const std::string& insPath, const std::string& instrument, CBankList& banks) {
    banks = CBankList{};
    std::optional<InsFile> file = instrument.empty() ? std::nullopt : readInsFile(insPath);
    if (!file) {
        return 1;
    }
    int method = 1;
    if (const Entry* entry = findEntry(file->instruments, instrument)) {
        for (const KeyValue& line : entry->lines) {
            if (startsWithNoCase(line.key, "Patch")) {
                applyPatchKey(banks, line.key, line.value);
            } else if (startsWithNoCase(line.key, "BankSelMethod")) {
                method = bankSelectMethod(line.value);
            }
        }
    }
    if (banks.count == 0 && banks.wildcardBank == 0) {
        banks.wildcardBank = -1;
        banks.wildcardListName = instrument;
    }
    return method;
}

std::string bankListName(const CBankList& banks, int bank) {
    auto end = banks.entries.begin() + banks.count;
    auto found = std::find_if(banks.entries.begin(), end,
                              [&](const CBankList::Entry& entry) { return entry.bank == bank; });
    if (bank >= 0 && found != end) {
        return found->listName;
    }
    return banks.wildcardBank == -1 ? banks.wildcardListName : std::string();
}

void readPatchNames(const std::string& insPath, const std::string& listName, CPatchList& patches) {
    if (listName.empty()) {
        return;
    }
    patches = CPatchList{};
    std::optional<InsFile> file = readInsFile(insPath);
    if (!file || !file->hasPatchNames) {
        return;
    }
    if (const Entry* list = findEntry(file->patchLists, listName)) {
        std::vector<const Entry*> chain;
        applyList(*file, *list, 0, patches, chain);
    } else {
        applyGenericList(listName, patches);
    }
}

} // namespace corvex
