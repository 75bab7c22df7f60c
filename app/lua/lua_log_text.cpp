#include "lua/lua_log_text.h"

#include <lua.hpp>

namespace corvex {
namespace {

// The pieces of the line go into a table and are joined once at the end, so long tables
// cost linear time.
struct Pieces {
    int table;
    lua_Integer count = 0;

    void addTop(lua_State* state) { lua_rawseti(state, table, ++count); }
    void add(lua_State* state, const char* text) {
        lua_pushstring(state, text);
        addTop(state);
    }
};

void addPlain(lua_State* state, int index, Pieces& pieces) {
    luaL_tolstring(state, index, nullptr);
    pieces.addTop(state);
}

void addValue(lua_State* state, int index, int depth, Pieces& pieces);

void addTable(lua_State* state, int index, int depth, Pieces& pieces) {
    luaL_checkstack(state, 6, "table nested too deep");
    pieces.add(state, "{ ");
    bool first = true;
    lua_pushnil(state);
    while (lua_next(state, index) != 0) {
        if (!first) {
            pieces.add(state, ", ");
        }
        first = false;
        if (lua_type(state, -2) == LUA_TSTRING) {
            lua_pushvalue(state, -2);
            pieces.addTop(state);
        } else {
            pieces.add(state, "[");
            addPlain(state, lua_gettop(state) - 1, pieces);
            pieces.add(state, "]");
        }
        pieces.add(state, " = ");
        addValue(state, lua_gettop(state), depth + 1, pieces);
        lua_pop(state, 1);
    }
    pieces.add(state, first ? "}" : " }");
}

void addValue(lua_State* state, int index, int depth, Pieces& pieces) {
    const int type = lua_type(state, index);
    if (type == LUA_TTABLE && depth < 2) {
        addTable(state, index, depth, pieces);
    } else if (type == LUA_TSTRING && depth > 0) {
        pieces.add(state, "\"");
        lua_pushvalue(state, index);
        pieces.addTop(state);
        pieces.add(state, "\"");
    } else {
        addPlain(state, index, pieces);
    }
}

} // namespace

void pushLogLine(lua_State* state, int first) {
    const int last = lua_gettop(state);
    lua_newtable(state);
    Pieces pieces{lua_gettop(state)};
    for (int i = first; i <= last; ++i) {
        if (i > first) {
            pieces.add(state, " ");
        }
        addValue(state, i, 0, pieces);
    }
    luaL_Buffer line;
    luaL_buffinit(state, &line);
    for (lua_Integer i = 1; i <= pieces.count; ++i) {
        lua_rawgeti(state, pieces.table, i);
        luaL_addvalue(&line);
    }
    luaL_pushresult(&line);
    lua_remove(state, pieces.table);
}

} // namespace corvex
