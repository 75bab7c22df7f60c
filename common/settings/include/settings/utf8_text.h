// UTF-8 checks shared by the settings store (which escapes bytes that are not valid text)
// and the profile test. Pure functions, callable from any thread.
#pragma once

#include <cstddef>
#include <string_view>

namespace corvex {

// Length of the valid UTF-8 sequence that starts `text` (1 to 4), or 0 when it does not
// start with one (a stray continuation byte, an over-long form, a surrogate, a value above
// U+10FFFF or a truncated sequence). 0 for empty text.
size_t utf8SequenceLength(std::string_view text);

bool isValidUtf8(std::string_view text);

} // namespace corvex
