#include "number_list.h"

#include <charconv>

namespace corvex {

std::vector<long long> leadingNumbers(std::string_view text, size_t limit) {
    std::vector<long long> numbers;
    while (numbers.size() < limit) {
        while (!text.empty() && (text[0] == ',' || text[0] == ' ' || text[0] == '\t')) {
            text.remove_prefix(1);
        }
        long long number = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc()) {
            break;
        }
        numbers.push_back(number);
        text.remove_prefix(static_cast<size_t>(end - text.data()));
    }
    return numbers;
}

} // namespace corvex
