#include "mapping/ascii_map_file.h"

#include "ini/profile_file.h"
#include "mapping/map_capacity.h"
#include "mapping/map_item_line.h"
#include "mapping/printf_text.h"
#include "mapping/text_compare.h"

#include <array>

namespace corvex {

namespace {

constexpr char kHeader5[] = "CVXMAP Version 5";
constexpr char kHeader4[] = "CVXMAP Version 4";
constexpr char kLineEnd[] = "\r\n";

struct OptionName {
    const char* name;
    uint16_t bit;
};

constexpr std::array<OptionName, 4> kOptions = {{
    {"WaitForFullNRPN", MAP_WAIT_FOR_FULL_NRPN},
    {"MapNRPNDataIncr", MAP_NRPN_DATA_INCR},
    {"SendFullNRPN", MAP_SEND_FULL_NRPN},
    {"ReverseDataEntry", MAP_REVERSE_DATA_ENTRY},
}};

// Splits text into lines at CR, LF or CR LF. A last line without a line end is a line too.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}

    bool next(std::string_view& line) {
        if (at_ >= text_.size()) {
            return false;
        }
        size_t end = text_.find_first_of("\r\n", at_);
        if (end == std::string_view::npos) {
            end = text_.size();
        }
        line = text_.substr(at_, end - at_);
        at_ = end;
        if (at_ < text_.size() && text_[at_] == '\r') {
            ++at_;
        }
        if (at_ < text_.size() && text_[at_] == '\n') {
            ++at_;
        }
        ++number_;
        return true;
    }

    int number() const { return number_; }

private:
    std::string_view text_;
    size_t at_ = 0;
    int number_ = 0;
};

enum class Section { None, Map, Options, Other };

Section sectionOf(std::string_view line) {
    size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return Section::Other;
    }
    std::string_view name = trimBlanks(line.substr(1, close - 1));
    if (equalsIgnoringCase(name, "Map")) {
        return Section::Map;
    }
    return equalsIgnoringCase(name, "Options") ? Section::Options : Section::Other;
}

class AsciiMapParser {
public:
    AsciiMapParser(const std::string& name, uint16_t options) : name_(name), options_(options) {}

    // False when the text has no map header; the message says what was found.
    bool parse(std::string_view text) {
        Lines lines(text);
        std::string_view raw;
        while (lines.next(raw)) {
            std::string_view line = trimBlanks(raw);
            if (line.empty() || line[0] == ';') {
                continue;
            }
            if (version_ == 0) {
                if (!header(line, lines.number())) {
                    return false;
                }
            } else if (line[0] == '[') {
                section_ = sectionOf(line);
            } else if (section_ == Section::Map) {
                item(line, lines.number());
            } else if (section_ == Section::Options) {
                option(line, lines.number());
            }
        }
        if (version_ == 0) {
            headerMessage_ = headerProblem({}, lines.number());
            return false;
        }
        return true;
    }

    const std::vector<MapRow>& rows() const { return rows_; }
    uint16_t options() const { return options_; }
    std::vector<std::string>& problems() { return problems_; }
    const std::string& headerMessage() const { return headerMessage_; }

private:
    bool header(std::string_view line, int number) {
        if (equalsIgnoringCase(line, kHeader5)) {
            version_ = 5;
        } else if (equalsIgnoringCase(line, kHeader4)) {
            version_ = 4;
        } else {
            headerMessage_ = headerProblem(line, number);
            return false;
        }
        return true;
    }

    std::string headerProblem(std::string_view found, int number) const {
        return placed(printfText("Expected ASCII Map Version Header: '%s'.\nFound: '%s'", kHeader5,
                                 std::string(found).c_str()),
                      number);
    }

    // The message as users know it, with the file and line where it arose on the line below.
    std::string placed(const std::string& message, int number) const {
        return message + printfText("\n'%s', line %d", name_.c_str(), number);
    }

    void item(std::string_view line, int number) {
        ItemLineReading reading = parseItemLine(line, version_);
        if (reading.row) {
            rows_.push_back(std::move(*reading.row));
            return;
        }
        std::string value = reading.value.empty() ? "(missing)" : reading.value;
        problems_.push_back(placed(printfText("Problem parsing ASCII map. Item: %s, Value: %s",
                                              reading.field.c_str(), value.c_str()),
                                   number));
    }

    void option(std::string_view line, int number) {
        size_t equals = line.find('=');
        std::string_view name = trimBlanks(line.substr(0, equals));
        if (equals != std::string_view::npos) {
            std::string_view value = line.substr(equals + 1);
            value = trimBlanks(value.substr(0, value.find(';')));
            for (const OptionName& option : kOptions) {
                if (equalsIgnoringCase(name, option.name) && (value == "0" || value == "1")) {
                    options_ = static_cast<uint16_t>(value == "1" ? options_ | option.bit
                                                                  : options_ & ~option.bit);
                    return;
                }
            }
        }
        name = name.substr(0, name.find_first_of(" \t;"));
        problems_.push_back(
            placed(printfText("Not Understood - Line beginning: '%s'", std::string(name).c_str()),
                   number));
    }

    const std::string& name_;
    uint16_t options_;
    int version_ = 0;
    Section section_ = Section::None;
    std::vector<MapRow> rows_;
    std::vector<std::string> problems_;
    std::string headerMessage_;
};

} // namespace

MapFileResult readAsciiMapText(DataMap& map, std::string_view text, const std::string& name,
                               bool append, bool quiet) {
    MapFileResult result;
    if (text.empty()) {
        if (!quiet) {
            result.message = printfText("Map file '%s' is empty.", name.c_str());
        }
        return result;
    }
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF"; // some editors start files with it
    if (text.starts_with(kUtf8Mark)) {
        text.remove_prefix(kUtf8Mark.size());
    }
    AsciiMapParser parser(name, map.options);
    if (!parser.parse(text)) {
        if (!quiet) {
            result.message = parser.headerMessage();
        }
        return result;
    }
    result.problems = std::move(parser.problems());
    result.message = mapCapacityProblem(map, parser.rows(), append, name);
    if (!result.message.empty()) {
        return result;
    }
    map.load(parser.rows(), append);
    map.options = parser.options();
    result.ok = true;
    return result;
}

MapFileResult readAsciiMap(DataMap& map, const std::string& path, bool append, bool quiet) {
    cvx::profile::ProfileText text = cvx::profile::readProfileFile(path);
    if (text.status != cvx::profile::ReadStatus::Read) {
        MapFileResult result;
        if (!quiet) {
            result.message = text.status == cvx::profile::ReadStatus::Missing
                                 ? printfText("File not found: '%s'", path.c_str())
                                 : printfText("Cannot read map file '%s'.", path.c_str());
        }
        return result;
    }
    return readAsciiMapText(map, text.text, path, append, quiet);
}

std::string asciiMapText(const DataMap& map) {
    std::string text = std::string(kHeader5) + kLineEnd;
    text += std::string(kLineEnd) + "[Map]" + kLineEnd;
    std::span<const MapItem> items = map.items();
    for (size_t i = 0; i < items.size(); ++i) {
        std::span<const uint8_t> entry = map.sysexOf(i);
        text += formatItemLine({items[i], {entry.begin(), entry.end()}}) + kLineEnd;
    }
    text += std::string(kLineEnd) + "[Options]" + kLineEnd;
    for (const OptionName& option : kOptions) {
        text += printfText("%s=%d", option.name, (map.options & option.bit) ? 1 : 0) + kLineEnd;
    }
    return text;
}

MapFileResult writeAsciiMap(const DataMap& map, const std::string& path) {
    MapFileResult result;
    result.ok = cvx::profile::replaceProfileFile(path, asciiMapText(map));
    if (!result.ok) {
        result.message = printfText("File Creation Failed: '%s'", path.c_str());
    }
    return result;
}

} // namespace corvex
