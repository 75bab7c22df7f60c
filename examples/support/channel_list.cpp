#include "support/channel_list.h"

#include <charconv>

namespace corvex::examples {
namespace {

std::optional<unsigned> number(std::string_view text, int base) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// "n" or "first-last", channels 1-16.
std::optional<uint16_t> item(std::string_view text) {
    const size_t dash = text.find('-');
    auto first = number(text.substr(0, dash), 10);
    auto last = dash == std::string_view::npos ? first : number(text.substr(dash + 1), 10);
    if (!first || !last || *first < 1 || *last > 16 || *first > *last) {
        return std::nullopt;
    }
    uint16_t mask = 0;
    for (unsigned channel = *first; channel <= *last; ++channel) {
        mask |= static_cast<uint16_t>(1u << (channel - 1));
    }
    return mask;
}

} // namespace

std::optional<uint16_t> parseChannelList(std::string_view text) {
    if (text == "all") {
        return 0xFFFF;
    }
    if (text.starts_with("0x") || text.starts_with("0X")) {
        auto mask = number(text.substr(2), 16);
        if (!mask || *mask == 0 || *mask > 0xFFFF) {
            return std::nullopt;
        }
        return static_cast<uint16_t>(*mask);
    }
    uint16_t mask = 0;
    while (true) {
        const size_t comma = text.find(',');
        auto bits = item(text.substr(0, comma));
        if (!bits) {
            return std::nullopt;
        }
        mask |= *bits;
        if (comma == std::string_view::npos) {
            return mask;
        }
        text.remove_prefix(comma + 1);
    }
}

} // namespace corvex::examples
