#include "settings/settings_text.h"

#include "settings/utf8_text.h"

#include <cstdio>
#include <optional>

namespace corvex {

namespace {

constexpr size_t kMaxReportedProblems = 10;
constexpr char kHexDigits[] = "0123456789abcdef";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// ---- writing ---------------------------------------------------------------------------

void appendEscapedByte(std::string& out, unsigned char byte) {
    out += "\\x";
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    while (!text.empty()) {
        auto byte = static_cast<unsigned char>(text[0]);
        size_t length = utf8SequenceLength(text);
        if (byte == '\\' || byte == '"') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte < 0x20 || byte == 0x7F || length == 0) {
            appendEscapedByte(out, byte);
        } else {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
            continue;
        }
        text.remove_prefix(1);
    }
    out += '"';
}

void appendHex(std::string& out, uint64_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += kHexDigits[(value >> shift) & 0x0F];
    }
}

void appendValue(std::string& out, const SettingValue& value) {
    switch (value.kind) {
    case ValueKind::Dword:
        out += "dword:";
        appendHex(out, value.number & 0xFFFFFFFFu, 8);
        break;
    case ValueKind::Qword:
        out += "qword:";
        appendHex(out, value.number, 16);
        break;
    case ValueKind::String:
        appendQuoted(out, value.text);
        break;
    case ValueKind::Binary:
        out += "hex:";
        for (uint8_t byte : value.bytes) {
            appendHex(out, byte, 2);
        }
        break;
    }
}

// ---- reading ---------------------------------------------------------------------------

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        char x = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] + 32) : a[i];
        char y = (b[i] >= 'A' && b[i] <= 'Z') ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

std::string_view trimRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// Reads a quoted text at the start of `text`, advancing past it.
std::optional<std::string> readQuoted(std::string_view& text) {
    if (text.empty() || text[0] != '"') {
        return std::nullopt;
    }
    std::string result;
    size_t i = 1;
    while (i < text.size()) {
        char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return result;
        }
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
            return std::nullopt;
        }
        if (c != '\\') {
            result += c;
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) {
            return std::nullopt;
        }
        char escape = text[i + 1];
        i += 2;
        switch (escape) {
        case '\\':
        case '"':
            result += escape;
            break;
        case 't':
            result += '\t';
            break;
        case 'n':
            result += '\n';
            break;
        case 'r':
            result += '\r';
            break;
        case 'x': {
            int high = i < text.size() ? hexValue(text[i]) : -1;
            int low = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            result += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<uint64_t> readHexNumber(std::string_view digits, size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (char c : digits) {
        int digit = hexValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<uint64_t>(digit);
    }
    return value;
}

std::optional<std::vector<uint8_t>> readHexBytes(std::string_view digits) {
    if (digits.size() % 2 != 0 || digits.size() / 2 > kMaxSettingBytes) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(digits.size() / 2);
    for (size_t i = 0; i < digits.size(); i += 2) {
        int high = hexValue(digits[i]);
        int low = hexValue(digits[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return bytes;
}

std::optional<SettingValue> readValue(std::string_view text) {
    text = trimRight(text);
    if (!text.empty() && text[0] == '"') {
        std::optional<std::string> quoted = readQuoted(text);
        if (!quoted || !text.empty() || quoted->size() > kMaxSettingBytes) {
            return std::nullopt;
        }
        return SettingValue::string(std::move(*quoted));
    }
    if (text.starts_with("dword:")) {
        std::optional<uint64_t> number = readHexNumber(text.substr(6), 8);
        return number ? std::optional(SettingValue::dword(static_cast<uint32_t>(*number)))
                      : std::nullopt;
    }
    if (text.starts_with("qword:")) {
        std::optional<uint64_t> number = readHexNumber(text.substr(6), 16);
        return number ? std::optional(SettingValue::qword(*number)) : std::nullopt;
    }
    if (text.starts_with("hex:")) {
        std::optional<std::vector<uint8_t>> bytes = readHexBytes(text.substr(4));
        return bytes ? std::optional(SettingValue::binary(std::move(*bytes))) : std::nullopt;
    }
    return std::nullopt;
}

// The key path of a section line, relative to the root; nothing when it is not one of ours.
std::optional<std::string> readSectionPath(std::string_view line) {
    line = trimRight(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') {
        return std::nullopt;
    }
    std::string_view path = line.substr(1, line.size() - 2);
    std::string_view root = kSettingsRootKey;
    if (path.size() < root.size() || !equalNoCase(path.substr(0, root.size()), root)) {
        return std::nullopt;
    }
    std::string_view rest = path.substr(root.size());
    if (!rest.empty() && rest[0] != '\\') {
        return std::nullopt;
    }
    return normalKeyPath(rest);
}

class SettingsReader {
public:
    ParsedSettings read(std::string_view text) {
        if (text.starts_with(kByteOrderMark)) {
            text.remove_prefix(kByteOrderMark.size());
        }
        size_t lineNumber = 0;
        while (!text.empty()) {
            size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            readLine(++lineNumber, line);
        }
        if (lineNumber > 0 && !sawHeader_) {
            report(1, "it is not a settings store (no header line)");
        }
        if (skipped_ > 0) {
            result_.problems.push_back("and " + std::to_string(skipped_) + " more");
        }
        return std::move(result_);
    }

private:
    void readLine(size_t number, std::string_view line) {
        if (line.size() > kMaxSettingsLineBytes) {
            report(number, "the line is too long");
            return;
        }
        if (line.find('\0') != std::string_view::npos) {
            report(number, "the line holds binary data");
            return;
        }
        if (number == 1 && trimRight(line) == kSettingsStoreHeader) {
            sawHeader_ = true;
            return;
        }
        std::string_view content = trimRight(line);
        if (content.empty() || content[0] == ';') {
            return;
        }
        if (content[0] == '[') {
            readSection(number, content);
        } else {
            readValueLine(number, content);
        }
    }

    void readSection(size_t number, std::string_view line) {
        key_ = readSectionPath(line);
        if (!key_) {
            report(number, "the section is not a key of the store");
            return;
        }
        result_.tree.createKey(*key_);
    }

    void readValueLine(size_t number, std::string_view line) {
        std::string_view rest = line;
        std::optional<std::string> name = readQuoted(rest);
        if (!name || rest.empty() || rest[0] != '=') {
            report(number, "the line is not a value");
            return;
        }
        std::optional<SettingValue> value = readValue(rest.substr(1));
        if (!value) {
            report(number, "the value cannot be read");
            return;
        }
        if (!key_) {
            report(number, "the value is outside any key");
            return;
        }
        if (result_.tree.value(*key_, *name) != nullptr) {
            report(number, "the value repeats an earlier one of the same name");
            return;
        }
        if (!result_.tree.set(*key_, *name, std::move(*value))) {
            report(number, "the value is too long");
        }
    }

    void report(size_t number, const std::string& problem) {
        if (result_.problems.size() >= kMaxReportedProblems) {
            ++skipped_;
            return;
        }
        result_.problems.push_back("line " + std::to_string(number) + ": " + problem);
    }

    ParsedSettings result_;
    std::optional<std::string> key_;
    bool sawHeader_ = false;
    size_t skipped_ = 0;
};

} // namespace

ParsedSettings parseSettingsText(std::string_view text) {
    return SettingsReader().read(text);
}

std::string formatSettingsText(const SettingsTree& tree) {
    std::string out = kSettingsStoreHeader;
    out += "\n; Corvex settings, shared by every corvex instance and tunelet.\n";
    for (const SettingsTree::Key* key : tree.keys()) {
        out += "\n[";
        out += joinKeyPath(kSettingsRootKey, key->path);
        out += "]\n";
        for (const auto& [name, value] : key->values) {
            appendQuoted(out, name);
            out += '=';
            appendValue(out, value);
            out += '\n';
        }
    }
    return out;
}

} // namespace corvex
