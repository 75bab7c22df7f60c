#include "command_table.h"

namespace corvex {

void CommandTable::add(int id, Handler handler) {
    handlers_[id] = std::move(handler);
}

bool CommandTable::contains(int id) const {
    return handlers_.contains(id);
}

bool CommandTable::dispatch(int id, int code) const {
    const auto found = handlers_.find(id);
    if (found == handlers_.end() || !found->second) {
        return false;
    }
    // A copy, so a handler that replaces itself in the table finishes safely.
    const Handler handler = found->second;
    handler(code);
    return true;
}

std::vector<int> CommandTable::ids() const {
    std::vector<int> out;
    out.reserve(handlers_.size());
    for (const auto& [id, handler] : handlers_) {
        out.push_back(id);
    }
    return out;
}

} // namespace corvex
