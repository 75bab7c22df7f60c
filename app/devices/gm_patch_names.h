// The General MIDI program names, the patch names every channel starts with.
// Any thread (constant data).
#pragma once

namespace corvex {

// Program 0-127; "" outside.
const char* gmProgramName(int program);

} // namespace corvex
