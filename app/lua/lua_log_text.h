// The text corvex.log and print write for their arguments: strings as they are, tables of
// the first two levels as "{ key = value, ... }" (string keys bare, other keys in brackets,
// strings inside tables in double quotes), everything else as tostring gives it.
//
// Threads: inside a protected call of the state (conversion may run __tostring).
#pragma once

struct lua_State;

namespace corvex {

// Pushes the arguments from `first` to the top joined by single spaces, as one string.
void pushLogLine(lua_State* state, int first);

} // namespace corvex
